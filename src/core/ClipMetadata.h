#pragma once

#include <QByteArray>
#include <QStringList>

#include <optional>

namespace tavlin {

// Facts derived from a capture, kept in its payload file. The key names are part of the stored
// format: they appear in the payload file and in the JSON that the payload digest covers.
struct ClipMetadata {
    std::optional<qint64> characterCount;
    std::optional<qint64> lineCount;
    std::optional<qint64> pixelWidth;
    std::optional<qint64> pixelHeight;
    QStringList filePaths;
    QStringList fileNames;
    std::optional<QByteArray> thumbnail;

    bool operator==(const ClipMetadata&) const = default;

    // Compact JSON with the keys in ascending order, bytes in standard base64, absent fields left
    // out and every string (the thumbnail's base64 too) escaped as the stored format's encoder
    // does, "/" as "\/": the exact bytes the payload digest is computed over.
    QByteArray sortedKeyJSON() const;
    // The same JSON as earlier builds wrote it, with the thumbnail's "/" left bare: the digests of
    // the image records they stored cover this form.
    QByteArray earlierSortedKeyJSON() const;

private:
    enum class ThumbnailSlashes { escaped, bare };
    QByteArray json(ThumbnailSlashes slashes) const;
};

} // namespace tavlin
