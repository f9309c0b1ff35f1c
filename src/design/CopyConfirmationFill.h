#pragma once

#include "Appearance.h"
#include "CopyConfirmationShape.h"

class QPainter;

namespace tavlin {

// The tinted fill under a record's row or card while its copy is confirmed.
struct CopyConfirmationFill {
    // Draws it within the row's or card's bounds, faded in as far as `progress` (0 to 1).
    static void paint(QPainter& painter, const QRectF& bounds, CopyConfirmationShape shape,
                      const Appearance& appearance, qreal progress);
};

} // namespace tavlin
