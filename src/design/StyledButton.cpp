#include "StyledButton.h"

#include "KeyboardFocus.h"
#include "RoundedShape.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QPainter>

namespace tavlin {

StyledButton::StyledButton(const QString& text, TavlinButtonStyle style, QWidget* parent)
    : QAbstractButton(parent)
    , style_(style)
{
    setText(text);
    setFont(style.font());
    // Focus by keyboard only, as the ring is a keyboard cue; a click leaves focus where it was.
    setFocusPolicy(Qt::TabFocus);
    KeyboardFocus::track(this);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    press_.setDuration(120);
    press_.setEasingCurve(QEasingCurve::OutCubic);
    press_.setStartValue(0.0);
    press_.setEndValue(1.0);
    connect(&press_, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
    connect(this, &QAbstractButton::pressed, this, [this] { animatePress(true); });
    connect(this, &QAbstractButton::released, this, [this] { animatePress(false); });
}

void StyledButton::setTint(std::optional<ThemeColor> tint)
{
    tint_ = tint;
    update();
}

void StyledButton::animatePress(bool pressed)
{
    press_.stop();
    if (ThemeAppearance::reduceMotion(this)) {
        press_.setCurrentTime(pressed ? press_.duration() : 0);
        update();
        return;
    }
    press_.setDirection(pressed ? QAbstractAnimation::Forward : QAbstractAnimation::Backward);
    press_.start();
}

QSize StyledButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    const int capsuleWidth = metrics.horizontalAdvance(text()) + 1 + 2 * style_.horizontalPadding();
    const int capsuleHeight = qMax(style_.minimumHeight(), metrics.height());
    const int outset = 2 * TavlinButtonStyle::focusRingOutset;
    return {capsuleWidth + outset, capsuleHeight + outset};
}

QSize StyledButton::minimumSizeHint() const
{
    const QSize hint = sizeHint();
    return {qMin(hint.width(), 2 * style_.horizontalPadding() + 2 * TavlinButtonStyle::focusRingOutset + 24),
            hint.height()};
}

QRectF StyledButton::capsuleRect() const
{
    const qreal outset = TavlinButtonStyle::focusRingOutset;
    return QRectF(rect()).adjusted(outset, outset, -outset, -outset);
}

bool StyledButton::hitButton(const QPoint& position) const
{
    return RoundedShape::capsule(capsuleRect()).contains(position);
}

void StyledButton::enterEvent(QEnterEvent* event)
{
    hovering_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void StyledButton::leaveEvent(QEvent* event)
{
    hovering_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void StyledButton::paintEvent(QPaintEvent*)
{
    const Appearance appearance = ThemeAppearance::of(this);
    const qreal press = press_.currentValue().toReal();
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    // Disabled buttons keep their look, dimmed as a whole (ring and outline too).
    painter.setOpacity(isEnabled() ? 1.0 : 0.45);
    const QPointF centre = QRectF(rect()).center();
    const qreal scale = 1.0 - 0.03 * press;
    painter.translate(centre);
    painter.scale(scale, scale);
    painter.translate(-centre);

    const QRectF capsule = capsuleRect();
    QColor fill = style_.background(appearance, hovering_, false);
    if (style_.kind == TavlinButtonStyle::Kind::primary)
        fill.setAlphaF(fill.alphaF() * float(1.0 - 0.15 * press));
    else if (press > 0)
        fill = style_.background(appearance, true, true);
    RoundedShape::fill(painter, capsule, RoundedShape::capsuleRadius(capsule), fill);

    if (appearance.highContrast && style_.kind != TavlinButtonStyle::Kind::quiet) {
        QColor outline = TavlinTheme::primaryText.resolve(appearance);
        outline.setAlphaF(outline.alphaF() * 0.55f);
        RoundedShape::strokeInside(painter, capsule, RoundedShape::capsuleRadius(capsule), outline, 1);
    }
    if (KeyboardFocus::showsRing(this)) {
        const QRectF ring = QRectF(rect());
        RoundedShape::strokeInside(painter, ring, RoundedShape::capsuleRadius(ring),
                                   TavlinTheme::brandAccent.resolve(appearance), 2);
    }

    painter.setFont(font());
    painter.setPen(tint_ ? tint_->resolve(appearance) : style_.labelColor(appearance));
    const QRectF textRect = capsule.adjusted(style_.horizontalPadding(), 0, -style_.horizontalPadding(), 0);
    // One line; cut only when the layout gives less room than the label needs.
    const QString label = width() >= sizeHint().width()
        ? text()
        : QFontMetrics(font()).elidedText(text(), Qt::ElideRight, qFloor(textRect.width()));
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, label);
}

} // namespace tavlin
