#include "CopyConfirmationShape.h"

#include "RoundedShape.h"
#include "TavlinTheme.h"

#include <QPainter>

namespace tavlin {

namespace {

// Runs `draw` with the confirmation's rectangle and radius at the opacity `progress` gives.
template <typename Draw>
void faded(QPainter& painter, const QRectF& bounds, CopyConfirmationShape shape, qreal progress, Draw draw)
{
    if (progress <= 0)
        return;
    painter.save();
    painter.setOpacity(painter.opacity() * qMin<qreal>(progress, 1));
    draw(CopyConfirmationGeometry::rect(shape, bounds), CopyConfirmationGeometry::radius(shape));
    painter.restore();
}

} // namespace

void CopyConfirmationGeometry::paintFill(QPainter& painter, const QRectF& bounds, CopyConfirmationShape shape,
                                         const Appearance& appearance, qreal progress)
{
    faded(painter, bounds, shape, progress, [&](const QRectF& rect, qreal radius) {
        RoundedShape::fill(painter, rect, radius, TavlinTheme::copyConfirmationFill.resolve(appearance));
    });
}

void CopyConfirmationGeometry::paintEdge(QPainter& painter, const QRectF& bounds, CopyConfirmationShape shape,
                                         const Appearance& appearance, qreal progress)
{
    faded(painter, bounds, shape, progress, [&](const QRectF& rect, qreal radius) {
        RoundedShape::strokeInside(painter, rect, radius, TavlinTheme::brandAccent.resolve(appearance), 1.5);
    });
}

} // namespace tavlin
