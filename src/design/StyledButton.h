#pragma once

#include "TavlinButtonStyle.h"
#include "ThemeColor.h"

#include <QAbstractButton>
#include <QVariantAnimation>

#include <optional>

namespace tavlin {

// A push button drawn in a TavlinButtonStyle.
class StyledButton : public QAbstractButton {
    Q_OBJECT
public:
    StyledButton(const QString& text, TavlinButtonStyle style, QWidget* parent = nullptr);

    const TavlinButtonStyle& style() const { return style_; }
    // A label colour other than the kind's, for a button tinted by its caller.
    void setTint(std::optional<ThemeColor> tint);
    bool isHovering() const { return hovering_; }
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

    TavlinButtonStyle style_;
    std::optional<ThemeColor> tint_;
    bool hovering_ = false;
    // 0 at rest, 1 fully pressed; eases between the two.
    QVariantAnimation press_;
};

} // namespace tavlin
