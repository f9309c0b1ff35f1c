#include "ClipboardCodec.h"

#include "ClipboardReadError.h"
#include "Log.h"
#include "Pasteboard.h"
#include "PasteboardTypes.h"
#include "RichTextPresentation.h"
#include "StoredPlaceholder.h"

#include <QCoreApplication>
#include <QHash>
#include <QScopeGuard>
#include <QSet>
#include <QStringDecoder>
#include <QThread>
#include <QVarLengthArray>
#include <QtConcurrent/QtConcurrentRun>

#include <qcoro/qcorofuture.h>
#include <qcoro/qcorotimer.h>

#include <algorithm>

namespace tavlin {

using namespace std::chrono_literals;

namespace {

void assertMainThread()
{
    Q_ASSERT_X(!QCoreApplication::instance() || QThread::currentThread() == QCoreApplication::instance()->thread(),
               "ClipboardCodec", "the clipboard is used from the main thread only");
}

const ClipRepresentation* firstOfType(const QList<const ClipRepresentation*>& representations, QStringView type)
{
    const auto found = std::find_if(representations.begin(), representations.end(),
                                    [type](const ClipRepresentation* r) { return r->type == type; });
    return found == representations.end() ? nullptr : *found;
}

bool hasType(const QList<const ClipRepresentation*>& representations, QStringView type)
{
    return firstOfType(representations, type) != nullptr;
}

// The plain string of the first RTF or RTFD representation; nothing when it doesn't read.
// Parsed on a worker thread: a large document takes a while, and the main thread waits for nothing.
QCoro::Task<std::optional<QString>> richTextString(const QList<const ClipRepresentation*>& representations)
{
    for (const ClipRepresentation* representation : representations) {
        if (representation->type != PasteboardTypes::rtf && representation->type != PasteboardTypes::flatRTFD)
            continue;
        // Read no further than a text that is already too long for a record (every character
        // takes at least one byte).
        co_return co_await QtConcurrent::run(&RichTextPresentation::plainString, representation->data,
                                             representation->type,
                                             std::optional<qint64>(ClipboardCodec::maximumTextBytes + 1));
    }
    co_return std::nullopt;
}

// The clipboard's string for a type, from the bytes already read: the first item's that has it.
// Nothing but the byte count is looked at of a text too long for a record (decoding never makes
// UTF-8 shorter), so a huge copy costs no second copy of itself; `tooLong` says so.
std::optional<QString> stringOfType(const QList<const ClipRepresentation*>& representations, QStringView type,
                                    bool* tooLong)
{
    const ClipRepresentation* representation = firstOfType(representations, type);
    if (!representation)
        return std::nullopt;
    if (representation->data.size() > ClipboardCodec::maximumTextBytes) {
        *tooLong = true;
        return std::nullopt;
    }
    return QString::fromUtf8(representation->data);
}

// The display text of copied files: the file's name, or the placeholder with their count.
QString filesText(const QList<ClipItem>& items)
{
    qsizetype count = 0;
    QString name;
    for (const ClipItem& item : items) {
        for (const ClipRepresentation& representation : item.representations) {
            if (representation.type != PasteboardTypes::fileURL)
                continue;
            if (const std::optional<QUrl> fileURL = ClipboardCodec::url(representation.data)) {
                if (++count == 1)
                    name = ClipboardCodec::lastPathComponent(*fileURL);
            }
        }
    }
    return count == 1 ? name : StoredPlaceholder::files(count);
}

// No NUL and not only white space.
bool hasWords(const QString& text)
{
    return !text.contains(QChar(u'\0')) && !std::all_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

bool isWebAddress(const QString& text)
{
    // Strict, so that a sentence that merely starts with an address stays text.
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

} // namespace

bool ClipboardCodec::isKeptType(const QString& type)
{
    static const QSet<QString> kept{PasteboardTypes::plainText, PasteboardTypes::rtf,     PasteboardTypes::flatRTFD,
                                    PasteboardTypes::html,      PasteboardTypes::fileURL, PasteboardTypes::url,
                                    PasteboardTypes::pdf};
    return kept.contains(type) || PasteboardTypes::conformsToImage(type);
}

bool ClipboardCodec::isRecordableText(const QString& text)
{
    return hasWords(text) && text.toUtf8().size() <= maximumTextBytes;
}

std::optional<QUrl> ClipboardCodec::url(const QByteArray& representation)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(representation);
    if (decoder.hasError())
        return std::nullopt;
    QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.isEmpty())
        return std::nullopt;
    return url;
}

QString ClipboardCodec::lastPathComponent(const QUrl& url)
{
    const QString path = url.path();
    if (path == u"/")
        return path;
    return url.adjusted(QUrl::StripTrailingSlash).fileName();
}

QCoro::Task<std::optional<CapturedClipboard>> ClipboardCodec::read(const Pasteboard& pasteboard)
{
    assertMainThread();
    co_return co_await read(co_await pasteboard.items());
}

QCoro::Task<std::optional<CapturedClipboard>> ClipboardCodec::read(QList<std::shared_ptr<const PasteboardItem>> offered)
{
    assertMainThread();

    QList<ClipItem> items;
    qint64 totalBytes = 0;
    QStringList unanswered;
    qsizetype read = 0;
    for (const auto& item : std::as_const(offered)) {
        if (++read % itemsPerTurn == 0)
            co_await QCoro::sleepFor(0ms);
        if (!item)
            continue;
        // Also when the limit stops the read halfway: a picture read ahead for a type not asked
        // yet can be as large as the limit.
        const auto readEnded = qScopeGuard([&item] { item->endRead(); });
        QStringList types = item->types();
        types.removeIf([](const QString& type) { return !isKeptType(type); });
        std::sort(types.begin(), types.end());
        // The plain text is asked for first: an owner slow on another format may use up the
        // copy's time, and the text is what the record is found and shown by.
        QVarLengthArray<qsizetype, 4> asked;
        for (const bool text : {true, false}) {
            for (qsizetype index = 0; index < types.size(); ++index) {
                if ((types[index] == PasteboardTypes::plainText) == text)
                    asked.append(index);
            }
        }
        QVarLengthArray<std::optional<QByteArray>, 4> answered(types.size());
        for (const qsizetype index : asked) {
            std::optional<QByteArray> data = co_await item->data(types[index]);
            if (!data) {
                unanswered.append(types[index]);
                continue;
            }
            // No bytes are no data: a spreadsheet offers a picture of every range and answers it
            // with nothing for a tall one, which must not make the copy an image.
            if (data->isEmpty())
                continue;
            totalBytes += data->size();
            if (totalBytes > maximumRecordBytes)
                throw ClipboardReadError::tooLarge(maximumRecordBytes);
            answered[index] = std::move(data);
        }
        ClipItem kept;
        for (qsizetype index = 0; index < types.size(); ++index) {
            if (answered[index])
                kept.representations.append({types[index], *std::move(answered[index])});
        }
        if (!kept.representations.isEmpty())
            items.append(std::move(kept));
    }
    if (items.isEmpty()) {
        if (!unanswered.isEmpty())
            Log::error(QStringLiteral("Clipboard: a copy is not kept, none of its formats came (%1)")
                           .arg(unanswered.join(u", ")));
        co_return std::nullopt;
    }

    QList<const ClipRepresentation*> all;
    for (const ClipItem& item : items) {
        for (const ClipRepresentation& representation : item.representations)
            all.append(&representation);
    }
    const auto captured = [&items](QString text, ClipKind kind) {
        return CapturedClipboard{std::move(text), kind, ClipPayload{std::move(items), std::nullopt}};
    };

    if (hasType(all, PasteboardTypes::fileURL)) {
        // Every URL is parsed: a select-all of a folder's files is named on a worker.
        QString text = co_await QtConcurrent::run(&filesText, items);
        co_return captured(std::move(text), ClipKind::file);
    }
    if (hasType(all, PasteboardTypes::pdf))
        co_return captured(StoredPlaceholder::pdfDocument(), ClipKind::other);
    if (std::any_of(all.begin(), all.end(),
                    [](const ClipRepresentation* r) { return PasteboardTypes::conformsToImage(r->type); }))
        co_return captured(StoredPlaceholder::image(), ClipKind::image);

    const bool hasRichText = hasType(all, PasteboardTypes::rtf) || hasType(all, PasteboardTypes::flatRTFD)
        || hasType(all, PasteboardTypes::html);
    bool tooLong = false;
    std::optional<QString> text = stringOfType(all, PasteboardTypes::plainText, &tooLong);
    if (!text && !tooLong)
        text = stringOfType(all, PasteboardTypes::url, &tooLong);
    if (!text && !tooLong)
        text = co_await richTextString(all);
    if (!text && !tooLong)
        text = StoredPlaceholder::formattedText();
    // The text's UTF-8 size is known only once it is made: the words of RTF are counted as they
    // are read, and each stray byte of plain text becomes a three-byte replacement character.
    if (tooLong || text->toUtf8().size() > maximumTextBytes) {
        Log::error(QStringLiteral("Clipboard: a copy is not kept, its text is over %1 bytes (%2 bytes in all)")
                       .arg(maximumTextBytes)
                       .arg(totalBytes));
        co_return std::nullopt;
    }
    if (!hasWords(*text))
        co_return std::nullopt;

    const bool hasLink = hasType(all, PasteboardTypes::url);
    ClipKind kind;
    if (hasRichText)
        kind = hasLink ? ClipKind::link : ClipKind::richText;
    else
        kind = hasLink || isWebAddress(*text) ? ClipKind::link : ClipKind::text;
    co_return captured(std::move(*text), kind);
}

bool ClipboardCodec::restore(const ClipPayload& payload, Pasteboard& pasteboard)
{
    assertMainThread();
    if (payload.items.isEmpty())
        return false;
    pasteboard.clearContents();
    return pasteboard.writeItems(payload.items);
}

} // namespace tavlin
