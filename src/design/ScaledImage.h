#pragma once

#include <QImage>
#include <QRectF>

class QPainter;

namespace tavlin {

// Record images are kept at up to 1024 px an edge and shown at a few dozen; scaling one smoothly
// costs about a millisecond, and rows repaint on every hover, age change and showing of the
// window. An image is scaled once for each size it is shown at, and the result is kept (in Qt's
// pixmap cache, so its memory stays bounded) for the paints that follow.
struct ScaledImage {
    // Draws `image` filling `target`, which is expected to have the image's proportions.
    static void draw(QPainter& painter, const QRectF& target, const QImage& image);
};

} // namespace tavlin
