#include "TargetMapping.h"

#include "PasteboardTypes.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <iterator>

namespace tavlin {

namespace {

// Targets that are part of the selection protocol or an older spelling of plain text, never
// content of their own. (STRING is Latin-1 text, which older programs offer alone and newer ones
// beside their UTF-8 text; TEXT and COMPOUND_TEXT do not say by their name how they are encoded.)
bool isProtocolTarget(const QByteArray& target)
{
    static const QSet<QByteArray> targets{
        "TARGETS", "MULTIPLE", "TIMESTAMP", "SAVE_TARGETS", "DELETE", "INCR", "TEXT", "COMPOUND_TEXT", "C_STRING",
    };
    return targets.contains(target);
}

// GTK, Qt and the browsers offer a copied picture in every format they can encode, converting
// it on request; the PNG holds the same pixels losslessly. GIF and WebP may carry an animation
// the PNG does not, so they stay.
bool isConversionOfPNG(const QByteArray& target)
{
    return target.startsWith("image/") && target != "image/png" && target != "image/gif" && target != "image/webp";
}

// "text/plain;charset=UTF-8" and "text/plain; charset=utf-8" mean the same.
QByteArray canonicalTarget(const QByteArray& target)
{
    QByteArray lowered = target.toLower();
    lowered.replace(" ", "");
    if (lowered == "text/plain;charset=utf-8")
        return lowered;
    return target;
}

// Best source first where one type has several. UTF8_STRING is plain text as its owner holds it;
// the text/plain family is MIME text, whose line ends GTK sends as CR LF.
int preference(const QByteArray& target)
{
    static const QList<QByteArray> order{"UTF8_STRING", "text/plain;charset=utf-8", "text/plain", "STRING",
                                         "text/rtf",    "application/rtf"};
    const qsizetype index = order.indexOf(canonicalTarget(target));
    return index < 0 ? static_cast<int>(order.size()) : static_cast<int>(index);
}

} // namespace

QList<TargetMapping::Presented> TargetMapping::presentedTypes(const QList<QByteArray>& targets)
{
    const bool offersPNG = targets.contains("image/png");
    QList<Presented> presented;
    // Where each type stands in `presented`: an owner may offer thousands of targets.
    QHash<QString, qsizetype> positions;
    for (const QByteArray& target : targets) {
        if (isProtocolTarget(target) || target == uriList || target == gnomeCopiedFiles || target == passwordHint
            || target == "application/x-qt-image")
            continue;
        if (offersPNG && isConversionOfPNG(target))
            continue;
        // STRING stays among the plain text's sources, last: an owner may answer its UTF-8 text
        // with no bytes and still have the words in Latin-1.
        const QString type = target == latin1Text
            ? PasteboardTypes::plainText
            : PasteboardTypes::identifierForMimeType(QString::fromUtf8(canonicalTarget(target)));
        const auto position = positions.constFind(type);
        if (position == positions.cend()) {
            positions.insert(type, presented.size());
            presented.append({type, {target}});
            continue;
        }
        QList<QByteArray>& sources = presented[*position].targets;
        sources.append(target);
        std::stable_sort(sources.begin(), sources.end(),
                         [](const QByteArray& a, const QByteArray& b) { return preference(a) < preference(b); });
    }
    return presented;
}

QList<TargetMapping::Presented> TargetMapping::conversionsOfPNG(const QList<QByteArray>& targets)
{
    if (!targets.contains("image/png"))
        return {};
    QList<QByteArray> conversions;
    std::copy_if(targets.cbegin(), targets.cend(), std::back_inserter(conversions), isConversionOfPNG);
    return presentedTypes(conversions);
}

QByteArray TargetMapping::presentedBytes(const QByteArray& target, QByteArray bytes)
{
    if (target == "text/plain" || canonicalTarget(target) == "text/plain;charset=utf-8") {
        // MIME text ends its lines in CR LF: as plain text they end in LF. A lone CR is the
        // owner's own and stays.
        bytes.replace("\r\n", "\n");
        return bytes;
    }
    if (target != latin1Text)
        return bytes;
    // Every Latin-1 byte is one character; only the upper half takes a second byte in UTF-8.
    const QString text = QString::fromLatin1(bytes);
    bytes = {};
    return text.toUtf8();
}

QList<ClipRepresentation> TargetMapping::urlRepresentations(const QByteArray& uriList)
{
    QList<ClipRepresentation> representations;
    for (const QByteArray& rawLine : uriList.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        // A path holding NUL names no file, and a name cut at the NUL would be another file:
        // such a URL (a web page can put "%00" in one) stays a plain link.
        const bool isFile = line.left(5).toLower() == "file:" && !QByteArray::fromPercentEncoding(line).contains('\0');
        representations.append({isFile ? PasteboardTypes::fileURL : PasteboardTypes::url, line});
    }
    return representations;
}

QList<ClipRepresentation> TargetMapping::copiedFileRepresentations(const QByteArray& copiedFiles)
{
    const qsizetype firstLineEnd = copiedFiles.indexOf('\n');
    return firstLineEnd < 0 ? QList<ClipRepresentation>{} : urlRepresentations(copiedFiles.mid(firstLineEnd + 1));
}

QList<std::pair<QByteArray, QByteArray>> TargetMapping::targetsForItems(const QList<ClipItem>& items)
{
    QList<std::pair<QByteArray, QByteArray>> targets;
    QList<QByteArray> urls;
    QList<QByteArray> fileURLs;
    auto add = [&](const QByteArray& target, const QByteArray& data) {
        const bool present = std::any_of(targets.cbegin(), targets.cend(),
                                         [&](const auto& entry) { return entry.first == target; });
        if (!present)
            targets.append({target, data});
    };

    for (const ClipItem& item : items) {
        for (const ClipRepresentation& representation : item.representations) {
            if (representation.type == PasteboardTypes::fileURL || representation.type == PasteboardTypes::url) {
                const QByteArray url = representation.data.trimmed();
                if (url.isEmpty())
                    continue;
                urls.append(url);
                if (representation.type == PasteboardTypes::fileURL)
                    fileURLs.append(url);
            } else if (representation.type == PasteboardTypes::concealed) {
                add(passwordHint, QByteArrayLiteral("secret"));
            } else if (representation.type == PasteboardTypes::plainText) {
                // Qt adds UTF8_STRING and the legacy names to text/plain; newer GTK asks for the
                // charset form first.
                add("text/plain", representation.data);
                add("text/plain;charset=utf-8", representation.data);
            } else {
                add(PasteboardTypes::mimeTypeForIdentifier(representation.type).toUtf8(), representation.data);
            }
        }
    }
    if (!urls.isEmpty())
        add(uriList, urls.join("\r\n") + "\r\n");
    if (!fileURLs.isEmpty())
        add(gnomeCopiedFiles, "copy\n" + fileURLs.join('\n'));
    return targets;
}

} // namespace tavlin
