#include "ClipDetails.h"

#include "ClipboardCodec.h"
#include "ImageThumbnail.h"
#include "PasteboardTypes.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeDatabase>
#include <QTextBoundaryFinder>

namespace tavlin {

namespace {

// Every line-breaking scalar lies in the BMP, so one UTF-16 unit tells.
bool isNewline(QChar c)
{
    switch (c.unicode()) {
    case 0x000A:
    case 0x000B:
    case 0x000C:
    case 0x000D:
    case 0x0085:
    case 0x2028:
    case 0x2029: return true;
    default: return false;
    }
}

// Calls `visit(start)` with the start of every grapheme cluster of `text`, in order.
template <class Visit>
void forEachGrapheme(const QString& text, Visit visit)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (finder.toNextBoundary() != -1) {
        visit(start);
        start = finder.position();
    }
}

// Whether a file name's extension names an image type (by name only; the file is not read).
bool hasImageExtension(const QString& fileName)
{
    static const QMimeDatabase database;
    const QMimeType type = database.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault())
        return false;
    if (type.name().startsWith(u"image/"))
        return true;
    const QStringList ancestors = type.allAncestors();
    return std::any_of(ancestors.begin(), ancestors.end(), [](const QString& a) { return a.startsWith(u"image/"); });
}

} // namespace

qint64 ClipDetails::characterCount(const QString& text)
{
    qint64 count = 0;
    forEachGrapheme(text, [&count](qsizetype) { ++count; });
    return count;
}

qint64 ClipDetails::lineCount(const QString& text)
{
    if (text.isEmpty())
        return 0;
    qint64 breaks = 0;
    bool endsWithBreak = false;
    forEachGrapheme(text, [&](qsizetype start) {
        endsWithBreak = isNewline(text.at(start));
        if (endsWithBreak)
            ++breaks;
    });
    return std::max<qint64>(1, breaks + 1 - (endsWithBreak ? 1 : 0));
}

ClipMetadata ClipDetails::capture(const ClipPayload& payload, const QString& text, ClipKind kind)
{
    ClipMetadata metadata;
    if (kind == ClipKind::text || kind == ClipKind::richText || kind == ClipKind::link) {
        metadata.characterCount = characterCount(text);
        metadata.lineCount = lineCount(text);
    }

    QList<const ClipRepresentation*> all;
    for (const ClipItem& item : payload.items) {
        for (const ClipRepresentation& representation : item.representations)
            all.append(&representation);
    }

    switch (kind) {
    case ClipKind::image:
        for (const ClipRepresentation* representation : all) {
            if (!PasteboardTypes::conformsToImage(representation->type))
                continue;
            QBuffer buffer;
            buffer.setData(representation->data);
            buffer.open(QIODevice::ReadOnly);
            QImageReader reader(&buffer);
            if (!reader.canRead())
                continue;
            populateImage(metadata, reader);
            break;
        }
        break;
    case ClipKind::richText: {
        const auto has = [&all](QStringView type) {
            return std::any_of(all.begin(), all.end(), [type](const ClipRepresentation* r) { return r->type == type; });
        };
        // HTML alone gives no reliable text to count: the display text is a placeholder.
        if (has(PasteboardTypes::html) && !has(PasteboardTypes::plainText) && !has(PasteboardTypes::rtf)
            && !has(PasteboardTypes::flatRTFD)) {
            metadata.characterCount.reset();
            metadata.lineCount.reset();
        }
        break;
    }
    case ClipKind::file:
        for (const ClipRepresentation* representation : all) {
            if (representation->type != PasteboardTypes::fileURL)
                continue;
            const std::optional<QUrl> url = ClipboardCodec::url(representation->data);
            if (!url || !url->isLocalFile())
                continue;
            metadata.filePaths.append(url->path());
            metadata.fileNames.append(ClipboardCodec::lastPathComponent(*url));
        }
        // Only the first file is ever opened, and only an image of bounded size.
        if (!metadata.filePaths.isEmpty() && hasImageExtension(metadata.filePaths.first())) {
            const QFileInfo info(metadata.filePaths.first());
            // Regular files only: a FIFO or device named like an image would block the reader.
            if (info.isFile() && info.size() <= maximumImageFileBytes) {
                QImageReader reader(info.filePath());
                populateImage(metadata, reader);
            }
        }
        break;
    case ClipKind::text:
    case ClipKind::link:
    case ClipKind::other: break;
    }
    return metadata;
}

void ClipDetails::populateImage(ClipMetadata& metadata, QImageReader& source)
{
    const QSize stored = source.size();
    if (!stored.isValid() || stored.width() < 1 || stored.height() < 1)
        return;
    // EXIF orientations 5 to 8 store the image a quarter turn away from how it is shown.
    const bool quarterTurn = source.transformation() & QImageIOHandler::TransformationRotate90;
    metadata.pixelWidth = quarterTurn ? stored.height() : stored.width();
    metadata.pixelHeight = quarterTurn ? stored.width() : stored.height();
    // Huge images are never decoded, not even reduced.
    if (*metadata.pixelWidth > maximumThumbnailSourceEdge || *metadata.pixelHeight > maximumThumbnailSourceEdge
        || qint64(stored.width()) * stored.height() > maximumThumbnailSourceArea)
        return;
    std::optional<QByteArray> png = ImageThumbnail::png(source, thumbnailEdge);
    if (png && png->size() <= maximumThumbnailBytes)
        metadata.thumbnail = std::move(*png);
}

} // namespace tavlin
