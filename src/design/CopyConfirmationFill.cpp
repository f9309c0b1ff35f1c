#include "CopyConfirmationFill.h"

#include "RoundedShape.h"
#include "TavlinTheme.h"

#include <QPainter>

namespace tavlin {

void CopyConfirmationFill::paint(QPainter& painter, const QRectF& bounds, CopyConfirmationShape shape,
                                 const Appearance& appearance, qreal progress)
{
    if (progress <= 0)
        return;
    painter.save();
    painter.setOpacity(painter.opacity() * qMin<qreal>(progress, 1));
    RoundedShape::fill(painter, CopyConfirmationGeometry::rect(shape, bounds), CopyConfirmationGeometry::radius(shape),
                       TavlinTheme::copyConfirmationFill.resolve(appearance));
    painter.restore();
}

} // namespace tavlin
