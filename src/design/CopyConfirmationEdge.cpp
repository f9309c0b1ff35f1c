#include "CopyConfirmationEdge.h"

#include "RoundedShape.h"
#include "TavlinTheme.h"

#include <QPainter>

namespace tavlin {

void CopyConfirmationEdge::paint(QPainter& painter, const QRectF& bounds, CopyConfirmationShape shape,
                                 const Appearance& appearance, qreal progress)
{
    if (progress <= 0)
        return;
    painter.save();
    painter.setOpacity(painter.opacity() * qMin<qreal>(progress, 1));
    RoundedShape::strokeInside(painter, CopyConfirmationGeometry::rect(shape, bounds),
                               CopyConfirmationGeometry::radius(shape), TavlinTheme::brandAccent.resolve(appearance),
                               1.5);
    painter.restore();
}

} // namespace tavlin
