#pragma once

#include "Appearance.h"
#include "ThemeColor.h"

#include <QAbstractButton>
#include <QFont>
#include <QVariantAnimation>

#include <optional>

namespace tavlin {

// The application's capsule button look, for the action buttons of the settings window and the
// introduction: a filled accent button, a neutral filled button, or a borderless text button, at
// a height the caller chooses.
struct TavlinButtonStyle {
    enum class Kind { primary, secondary, quiet };

    Kind kind = Kind::primary;
    // The least height of primary and secondary buttons; quiet buttons are always 26 high.
    int height = 34;

    bool operator==(const TavlinButtonStyle&) const = default;

    QFont font() const;
    int horizontalPadding() const;
    int minimumHeight() const;
    // The capsule's fill at rest, hovered, pressed.
    QColor background(const Appearance& appearance, bool hovering, bool pressed) const;
    QColor labelColor(const Appearance& appearance) const;

    // Room kept around the capsule for the focus ring, so that focus never moves the button.
    static constexpr int focusRingOutset = 3;
};

// A push button drawn in a TavlinButtonStyle.
class StyledButton : public QAbstractButton {
    Q_OBJECT
public:
    StyledButton(const QString& text, TavlinButtonStyle style, QWidget* parent = nullptr);

    const TavlinButtonStyle& style() const { return m_style; }
    // A label colour other than the kind's, for a button tinted by its caller.
    void setTint(std::optional<ThemeColor> tint);
    bool isHovering() const { return m_hovering; }
    // The capsule within the widget (the rest is room for the focus ring).
    QRectF capsuleRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool hitButton(const QPoint& position) const override;

private:
    void animatePress(bool pressed);

    TavlinButtonStyle m_style;
    std::optional<ThemeColor> m_tint;
    bool m_hovering = false;
    // 0 at rest, 1 fully pressed; eases between the two.
    QVariantAnimation m_press;
};

} // namespace tavlin
