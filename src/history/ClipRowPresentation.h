#pragma once

#include "ClipMetadata.h"
#include "ClipPreview.h"

#include <QImage>

namespace tavlin {

// What one card or list row shows besides the record itself. Built only by the repository, on
// its thread: the image is decoded there, so that no view decodes one while it lays out or paints.
struct ClipRowPresentation {
    // Larger images are not decoded.
    static constexpr int imageLimit = 1024;

    ClipMetadata metadata;
    ClipPreview preview;
    // The preview's image, decoded; null when the preview is no image or its bytes do not decode.
    QImage image;

    bool operator==(const ClipRowPresentation&) const = default;

    // An image decoded from stored bytes, refusing anything over 1024 pixels a side.
    static QImage decodeImage(const QByteArray& bytes);
};

} // namespace tavlin
