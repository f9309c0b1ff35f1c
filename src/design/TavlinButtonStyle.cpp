#include "TavlinButtonStyle.h"

#include "KeyboardFocus.h"
#include "RoundedShape.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QPainter>

namespace tavlin {

QFont TavlinButtonStyle::font() const
{
    switch (kind) {
    case Kind::primary: return SystemFont::regular(13, QFont::DemiBold);
    case Kind::secondary: return SystemFont::regular(13, QFont::Medium);
    case Kind::quiet: return SystemFont::regular(12, QFont::Medium);
    }
    return SystemFont::regular(13);
}

int TavlinButtonStyle::horizontalPadding() const
{
    return kind == Kind::quiet ? 10 : 20;
}

int TavlinButtonStyle::minimumHeight() const
{
    return kind == Kind::quiet ? 26 : height;
}

QColor TavlinButtonStyle::background(const Appearance& appearance, bool hovering, bool pressed) const
{
    switch (kind) {
    case Kind::primary: {
        // Hovering alone leaves the accent as it is; pressing lightens it.
        QColor fill = TavlinTheme::brandAccent.resolve(appearance);
        if (pressed)
            fill.setAlphaF(fill.alphaF() * 0.85f);
        return fill;
    }
    case Kind::secondary:
        return (hovering || pressed ? TavlinTheme::hoverSurface : TavlinTheme::controlFill).resolve(appearance);
    case Kind::quiet:
        return hovering || pressed ? TavlinTheme::hoverSurface.resolve(appearance) : QColor(Qt::transparent);
    }
    return Qt::transparent;
}

QColor TavlinButtonStyle::labelColor(const Appearance& appearance) const
{
    switch (kind) {
    case Kind::primary: return TavlinTheme::actionText.resolve(appearance);
    case Kind::secondary: return TavlinTheme::primaryText.resolve(appearance);
    case Kind::quiet: return TavlinTheme::brandAccent.resolve(appearance);
    }
    return TavlinTheme::primaryText.resolve(appearance);
}

StyledButton::StyledButton(const QString& text, TavlinButtonStyle style, QWidget* parent)
    : QAbstractButton(parent)
    , m_style(style)
{
    setText(text);
    setFont(style.font());
    // Focus by keyboard only, as the ring is a keyboard cue; a click leaves focus where it was.
    setFocusPolicy(Qt::TabFocus);
    KeyboardFocus::track(this);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    m_press.setDuration(120);
    m_press.setEasingCurve(QEasingCurve::OutCubic);
    m_press.setStartValue(0.0);
    m_press.setEndValue(1.0);
    connect(&m_press, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
    connect(this, &QAbstractButton::pressed, this, [this] { animatePress(true); });
    connect(this, &QAbstractButton::released, this, [this] { animatePress(false); });
}

void StyledButton::setTint(std::optional<ThemeColor> tint)
{
    m_tint = tint;
    update();
}

void StyledButton::animatePress(bool pressed)
{
    m_press.stop();
    if (ThemeAppearance::reduceMotion(this)) {
        m_press.setCurrentTime(pressed ? m_press.duration() : 0);
        update();
        return;
    }
    m_press.setDirection(pressed ? QAbstractAnimation::Forward : QAbstractAnimation::Backward);
    m_press.start();
}

QSize StyledButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    const int capsuleWidth = metrics.horizontalAdvance(text()) + 1 + 2 * m_style.horizontalPadding();
    const int capsuleHeight = qMax(m_style.minimumHeight(), metrics.height());
    const int outset = 2 * TavlinButtonStyle::focusRingOutset;
    return {capsuleWidth + outset, capsuleHeight + outset};
}

QSize StyledButton::minimumSizeHint() const
{
    const QSize hint = sizeHint();
    return {qMin(hint.width(), 2 * m_style.horizontalPadding() + 2 * TavlinButtonStyle::focusRingOutset + 24),
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
    m_hovering = true;
    update();
    QAbstractButton::enterEvent(event);
}

void StyledButton::leaveEvent(QEvent* event)
{
    m_hovering = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void StyledButton::paintEvent(QPaintEvent*)
{
    const Appearance appearance = ThemeAppearance::of(this);
    const qreal press = m_press.currentValue().toReal();
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
    QColor fill = m_style.background(appearance, m_hovering, false);
    if (m_style.kind == TavlinButtonStyle::Kind::primary)
        fill.setAlphaF(fill.alphaF() * float(1.0 - 0.15 * press));
    else if (press > 0)
        fill = m_style.background(appearance, true, true);
    RoundedShape::fill(painter, capsule, RoundedShape::capsuleRadius(capsule), fill);

    if (appearance.highContrast && m_style.kind != TavlinButtonStyle::Kind::quiet) {
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
    painter.setPen(m_tint ? m_tint->resolve(appearance) : m_style.labelColor(appearance));
    const QRectF textRect = capsule.adjusted(m_style.horizontalPadding(), 0, -m_style.horizontalPadding(), 0);
    // One line; cut only when the layout gives less room than the label needs.
    const QString label = width() >= sizeHint().width()
        ? text()
        : QFontMetrics(font()).elidedText(text(), Qt::ElideRight, qFloor(textRect.width()));
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, label);
}

} // namespace tavlin
