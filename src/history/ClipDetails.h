#pragma once

#include "ClipKind.h"
#include "ClipMetadata.h"
#include "ClipPayload.h"

#include <QString>

class QImageReader;

namespace tavlin {

// Derives a record's metadata from its payload: text counts, image size and thumbnail, copied
// files. Never fails: whatever cannot be determined stays absent. Thread-safe, no state; meant
// for the repository's worker thread.
struct ClipDetails {
    static constexpr int thumbnailEdge = 256;
    static constexpr qint64 maximumThumbnailSourceEdge = 50'000;
    static constexpr qint64 maximumThumbnailSourceArea = 100'000'000;
    static constexpr qint64 maximumThumbnailBytes = 393'216;
    // Image files larger than this are never opened.
    static constexpr qint64 maximumImageFileBytes = 268'435'456;

    // Metadata already in the payload is ignored.
    static ClipMetadata capture(const ClipPayload& payload, const QString& text, ClipKind kind);

    // User-perceived characters (grapheme clusters).
    static qint64 characterCount(const QString& text);
    // Lines as the user sees them: a trailing line break opens no new line; CR LF is one break.
    static qint64 lineCount(const QString& text);

private:
    static void populateImage(ClipMetadata& metadata, QImageReader& source);
};

} // namespace tavlin
