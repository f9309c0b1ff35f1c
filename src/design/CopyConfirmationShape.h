#pragma once

#include "Appearance.h"

#include <QRectF>

class QPainter;

namespace tavlin {

// The outline a copy confirmation takes: a list row's or a card's.
enum class CopyConfirmationShape { listRow, card };

struct CopyConfirmationGeometry {
    static qreal radius(CopyConfirmationShape shape) { return shape == CopyConfirmationShape::card ? 20 : 10; }
    // The confirmation's rectangle within a row's or card's bounds.
    static QRectF rect(CopyConfirmationShape shape, const QRectF& bounds)
    {
        return shape == CopyConfirmationShape::card ? bounds.adjusted(1, 1, -1, -1) : bounds.adjusted(7, 2, -7, -2);
    }

    // The tinted fill under a record's row or card, and the accent outline over it, while its copy
    // is confirmed: drawn within the row's or card's bounds, faded in as far as `progress` (0 to 1).
    static void paintFill(QPainter& painter, const QRectF& bounds, CopyConfirmationShape shape,
                          const Appearance& appearance, qreal progress);
    static void paintEdge(QPainter& painter, const QRectF& bounds, CopyConfirmationShape shape,
                          const Appearance& appearance, qreal progress);
};

} // namespace tavlin
