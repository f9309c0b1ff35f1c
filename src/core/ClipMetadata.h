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

    // Compact JSON with the keys in ascending order, "/" escaped, bytes in standard base64 and
    // absent fields left out: the exact bytes the payload digest is computed over.
    QByteArray sortedKeyJSON() const;
};

} // namespace tavlin
