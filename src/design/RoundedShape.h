#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>

class QPainter;

namespace tavlin {

// Rounded rectangles and capsules, filled or outlined inside their edge, as the design draws
// its surfaces and controls.
struct RoundedShape {
    // A radius of at least half the shorter side makes a capsule.
    static QPainterPath path(const QRectF& rect, qreal radius);
    static QPainterPath capsule(const QRectF& rect) { return path(rect, qMin(rect.width(), rect.height()) / 2); }
    static void fill(QPainter& painter, const QRectF& rect, qreal radius, const QColor& color);
    // An outline of `width` drawn inside the edge, so that it never leaves the shape's bounds.
    static void strokeInside(QPainter& painter, const QRectF& rect, qreal radius, const QColor& color, qreal width);
    static qreal capsuleRadius(const QRectF& rect) { return qMin(rect.width(), rect.height()) / 2; }
};

} // namespace tavlin
