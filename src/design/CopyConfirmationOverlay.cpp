#include "CopyConfirmationOverlay.h"

#include "ConfirmationAnimation.h"
#include "RoundedShape.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QPainter>

namespace tavlin {

CopyConfirmationOverlay::CopyConfirmationOverlay(Style style, CopyFeedback* feedback, qint64 clipID,
                                                 CopyConfirmationShape shape, QWidget* parent)
    : QWidget(parent), style_(style), shape_(shape), animation_(new ConfirmationAnimation(feedback, clipID, this))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    connect(animation_, &ConfirmationAnimation::changed, this, qOverload<>(&QWidget::update));
}

bool CopyConfirmationOverlay::isShowing() const
{
    return animation_->isShowing();
}

void CopyConfirmationOverlay::paint(QPainter& painter, Style style, const QRectF& bounds, CopyConfirmationShape shape,
                                    const Appearance& appearance, qreal opacity)
{
    if (opacity <= 0)
        return;
    painter.save();
    painter.setOpacity(painter.opacity() * opacity);
    const QRectF rect = CopyConfirmationGeometry::rect(shape, bounds);
    const qreal radius = CopyConfirmationGeometry::radius(shape);
    if (style == Style::fill)
        RoundedShape::fill(painter, rect, radius, TavlinTheme::copyConfirmationFill.resolve(appearance));
    else
        RoundedShape::strokeInside(painter, rect, radius, TavlinTheme::brandAccent.resolve(appearance), 1.5);
    painter.restore();
}

void CopyConfirmationOverlay::paintEvent(QPaintEvent*)
{
    if (!animation_->isShowing())
        return;
    QPainter painter(this);
    paint(painter, style_, QRectF(rect()), shape_, ThemeAppearance::of(this), animation_->progress());
}

} // namespace tavlin
