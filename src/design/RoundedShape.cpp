#include "RoundedShape.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QtMath>

namespace tavlin {

namespace {

// Draws a shape through a pixmap kept for its look, its size and where it falls within a pixel.
// An antialiased curve is rasterised anew at every paint, and a large one's spans go through
// Qt's fill threads and back; the same shape met again (each row and card, each control, every
// showing of a window) costs one blend of the kept pixmap. Painters that scale, rotate or do not
// blend normally draw directly.
template <typename Draw>
void drawKept(QPainter& painter, const QRectF& rect, const QString& look, Draw draw)
{
    const QTransform device = painter.deviceTransform();
    if (device.type() > QTransform::TxTranslate || painter.device()->devicePixelRatio() != 1
        || painter.compositionMode() != QPainter::CompositionMode_SourceOver || !painter.paintEngine()
        || painter.paintEngine()->type() != QPaintEngine::Raster) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter, rect);
        painter.restore();
        return;
    }
    const QRectF placed = device.mapRect(rect);
    // A pixel of margin all round: antialiasing lays a trace of an edge on whole pixel bounds
    // into the pixels beside it.
    const QPointF origin(qFloor(placed.left()) - 1, qFloor(placed.top()) - 1);
    const QPointF within = placed.topLeft() - origin;
    const QString key = QStringLiteral("tavlin.shape.%1.%2x%3+%4+%5")
                            .arg(look)
                            .arg(placed.width())
                            .arg(placed.height())
                            .arg(within.x())
                            .arg(within.y());
    QPixmap kept;
    if (!QPixmapCache::find(key, &kept)) {
        kept = QPixmap(qCeil(within.x() + placed.width()) + 1, qCeil(within.y() + placed.height()) + 1);
        kept.fill(Qt::transparent);
        QPainter onto(&kept);
        onto.setRenderHint(QPainter::Antialiasing);
        draw(onto, QRectF(within, placed.size()));
        onto.end();
        QPixmapCache::insert(key, kept);
    }
    // Only moved: the pixmap's corner lands on the whole device pixel it was drawn from.
    painter.drawPixmap(origin - QPointF(device.dx(), device.dy()), kept);
}

QString colorName(const QColor& color)
{
    return QString::number(color.rgba64(), 16);
}

} // namespace

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
    drawKept(painter, rect, QStringLiteral("fill.%1.%2").arg(radius).arg(colorName(color)),
             [&](QPainter& onto, const QRectF& where) {
                 onto.setPen(Qt::NoPen);
                 onto.setBrush(color);
                 onto.drawPath(path(where, radius));
             });
}

void RoundedShape::strokeInside(QPainter& painter, const QRectF& rect, qreal radius, const QColor& color, qreal width)
{
    if (color.alpha() == 0 || width <= 0 || rect.isEmpty())
        return;
    const qreal half = width / 2;
    drawKept(painter, rect, QStringLiteral("stroke.%1.%2.%3").arg(radius).arg(colorName(color)).arg(width),
             [&](QPainter& onto, const QRectF& where) {
                 onto.setPen(QPen(color, width));
                 onto.setBrush(Qt::NoBrush);
                 onto.drawPath(path(where.adjusted(half, half, -half, -half), qMax<qreal>(0, radius - half)));
             });
}

} // namespace tavlin
