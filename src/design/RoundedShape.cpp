#include "RoundedShape.h"

#include <QPainter>

namespace tavlin {

QPainterPath RoundedShape::path(const QRectF& rect, qreal radius)
{
    const qreal r = qMin(radius, qMin(rect.width(), rect.height()) / 2);
    QPainterPath shape;
    shape.addRoundedRect(rect, r, r);
    return shape;
}

void RoundedShape::fill(QPainter& painter, const QRectF& rect, qreal radius, const QColor& color)
{
    if (color.alpha() == 0 || rect.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(path(rect, radius));
    painter.restore();
}

void RoundedShape::strokeInside(QPainter& painter, const QRectF& rect, qreal radius, const QColor& color, qreal width)
{
    if (color.alpha() == 0 || width <= 0 || rect.isEmpty())
        return;
    const qreal half = width / 2;
    const QRectF inner = rect.adjusted(half, half, -half, -half);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, width));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path(inner, qMax<qreal>(0, radius - half)));
    painter.restore();
}

} // namespace tavlin
