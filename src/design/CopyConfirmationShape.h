#pragma once

#include <QRectF>

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
};

} // namespace tavlin
