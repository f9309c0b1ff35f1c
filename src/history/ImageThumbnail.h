#pragma once

#include <QByteArray>

#include <optional>

class QImageReader;

namespace tavlin {

// A reduced copy of image 0 of a reader, as PNG: decoded straight to the reduced size (never the
// full image where the format can scale while decoding), with the EXIF orientation applied.
struct ImageThumbnail {
    // Longest edge at most `maximumEdge`; smaller images keep their size. Nothing when the image
    // does not decode or the PNG cannot be written.
    static std::optional<QByteArray> png(QImageReader& reader, int maximumEdge);
};

} // namespace tavlin
