#pragma once

#include <QAbstractButton>
#include <QVariantAnimation>

namespace tavlin {

// An on/off switch drawn in the palette: a capsule track, accent-filled when on, with a round
// knob. It never flips itself: a click or Space asks for the other state through
// toggleRequested, and the owner sets the state its controller actually took (setChecked).
class SwitchToggle : public QAbstractButton {
    Q_OBJECT
public:
    // The small size of the settings rows.
    static constexpr QSize trackSize{32, 18};

    explicit SwitchToggle(const QString& accessibleName, QWidget* parent = nullptr);

    QSize sizeHint() const override;

Q_SIGNALS:
    void toggleRequested(bool on);

protected:
    void nextCheckState() override;
    void checkStateSet() override;
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& position) const override;

private:
    // 0 off, 1 on; eases between the two unless motion is reduced.
    QVariantAnimation knob_;
};

} // namespace tavlin
