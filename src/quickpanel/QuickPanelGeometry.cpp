#include "QuickPanelGeometry.h"

#include <cmath>

namespace tavlin {

namespace {

// y grows upward: a rectangle's bottom edge is y(), its top edge y() + height().
qreal maxY(const QRectF& rect)
{
    return rect.y() + rect.height();
}
qreal maxX(const QRectF& rect)
{
    return rect.x() + rect.width();
}

qreal scaleOf(const QuickPanelGeometry::Display& display)
{
    return std::isnan(display.scale) ? 1.0 : std::max<qreal>(display.scale, 1.0);
}

qreal ceilPixels(qreal value, qreal scale)
{
    return std::ceil(value * scale) / scale;
}
qreal floorPixels(qreal value, qreal scale)
{
    return std::floor(value * scale) / scale;
}

bool usable(const std::optional<QRectF>& area)
{
    return area && area->width() > 0 && area->height() > 0;
}

// Both areas beside a camera housing, with a gap between them.
bool housingBetween(const QuickPanelGeometry::Display& display)
{
    return usable(display.auxiliaryLeft) && usable(display.auxiliaryRight)
        && maxX(*display.auxiliaryLeft) < display.auxiliaryRight->x();
}

} // namespace

std::optional<int> QuickPanelGeometry::displayIndex(QPointF point, const QList<Display>& displays,
                                                    std::optional<int> fallback)
{
    for (int i = 0; i < displays.size(); ++i) {
        const QRectF& frame = displays[i].frame;
        if (point.x() >= frame.x() && point.x() < maxX(frame) && point.y() >= frame.y() && point.y() < maxY(frame))
            return i;
    }
    if (fallback && *fallback >= 0 && *fallback < displays.size())
        return fallback;
    return std::nullopt;
}

QRectF QuickPanelGeometry::frame(const Display& display)
{
    const QRectF area = display.visibleFrame.intersected(display.frame);
    if (!(area.width() > 0) || !(area.height() > 0))
        return {};
    const qreal s = scaleOf(display);
    qreal top = maxY(display.frame) - (display.safeTop >= 0 ? display.safeTop : 0);
    top = std::min(top, maxY(area));
    if (usable(display.auxiliaryLeft) && usable(display.auxiliaryRight))
        top = std::min({top, display.auxiliaryLeft->y(), display.auxiliaryRight->y()});
    top = std::max(top, area.y());

    const qreal minX = ceilPixels(area.x(), s);
    const qreal maxXs = floorPixels(maxX(area), s);
    const qreal minY = ceilPixels(area.y(), s);
    top = std::max(floorPixels(top, s), minY);

    // Shrunk uniformly when it does not fit; never enlarged.
    const qreal fw = (maxXs - minX) / designWidth;
    const qreal fh = (top - minY) / designHeight;
    qreal f = 1;
    if (fw < 1)
        f = std::max<qreal>(0, std::min(fw, fh));
    else if (fh < 1)
        f = std::max<qreal>(0, fh);
    const qreal width = floorPixels(f * designWidth, s);
    const qreal height = floorPixels(f * designHeight, s);

    const qreal center = housingBetween(display) ? (maxX(*display.auxiliaryLeft) + display.auxiliaryRight->x()) / 2
                                                 : display.frame.center().x();
    qreal x = ceilPixels(center - width / 2, s);
    x = std::max(x, minX);
    x = std::min(x, maxXs - width); // the right edge wins when the panel is wider than the area
    return {x, top - height, width, height};
}

std::optional<QRectF> QuickPanelGeometry::notch(const Display& display)
{
    if (!(display.safeTop > 0) || !housingBetween(display))
        return std::nullopt;
    const qreal bottom = std::min(display.auxiliaryLeft->y(), display.auxiliaryRight->y());
    if (!(bottom < maxY(display.frame)))
        return std::nullopt;
    const qreal left = maxX(*display.auxiliaryLeft);
    return QRectF(left, bottom, display.auxiliaryRight->x() - left, maxY(display.frame) - bottom);
}

QuickPanelGeometry::Seed QuickPanelGeometry::seed(const Display& display, const QRectF& panel)
{
    const std::optional<QRectF> housing = notch(display);
    const qreal tolerance = 1 / scaleOf(display);
    if (housing && std::abs(maxY(panel) - housing->y()) <= tolerance && panel.x() <= housing->x()
        && maxX(*housing) <= maxX(panel))
        return {housing->center().x() - panel.x(), housing->width(), true};
    const qreal width = std::min(panel.width(), stripWidth);
    qreal centerX = display.frame.center().x() - panel.x();
    centerX = std::max(centerX, width / 2);
    centerX = std::min(centerX, panel.width() - width / 2);
    return {centerX, width, false};
}

namespace {
// A rectangle mirrored about the primary screen's bottom edge; its own inverse.
QRectF flipped(const QRectF& rect, const QRectF& primary)
{
    return {rect.x(), maxY(primary) - maxY(rect), rect.width(), rect.height()};
}
} // namespace

QuickPanelGeometry::Display QuickPanelGeometry::fromScreen(const QRectF& geometry, const QRectF& available,
                                                           qreal devicePixelRatio, const QRectF& primary)
{
    return {flipped(geometry, primary), flipped(available, primary), 0, std::nullopt, std::nullopt, devicePixelRatio};
}

QPointF QuickPanelGeometry::pointerFromScreen(QPoint pointer, const QRectF& primary)
{
    return {pointer.x() + 0.5, maxY(primary) - (pointer.y() + 0.5)};
}

QRectF QuickPanelGeometry::toScreen(const QRectF& frame, const QRectF& primary)
{
    return flipped(frame, primary);
}

} // namespace tavlin
