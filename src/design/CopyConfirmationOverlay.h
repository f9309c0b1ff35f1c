#pragma once

#include "Appearance.h"
#include "CopyConfirmationShape.h"

#include <QWidget>

class QPainter;

namespace tavlin {

class ConfirmationAnimation;
class CopyFeedback;

// The flash over a record's row or card while its copy is confirmed: a tinted fill
// (CopyConfirmationFill) or an accent outline (CopyConfirmationEdge). Lay it over the row at the
// row's size; it takes no clicks and has no accessible content.
class CopyConfirmationOverlay : public QWidget {
    Q_OBJECT
public:
    enum class Style { fill, edge };

    CopyConfirmationOverlay(Style style, CopyFeedback* feedback, qint64 clipID, CopyConfirmationShape shape,
                            QWidget* parent = nullptr);

    bool isShowing() const;

    // Draws the flash within a row's bounds, for views that paint their rows themselves.
    static void paint(QPainter& painter, Style style, const QRectF& bounds, CopyConfirmationShape shape,
                      const Appearance& appearance, qreal opacity = 1.0);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Style style_;
    CopyConfirmationShape shape_;
    ConfirmationAnimation* animation_;
};

} // namespace tavlin
