#pragma once

#include <QParallelAnimationGroup>
#include <QWidget>

namespace tavlin {

// The mascot of the introduction's screens. It grows and fades in when it comes on screen, then
// either floats up and down for as long as it stays (float) or makes one hop among three sparkles
// (celebrate). With reduced motion it is at rest from its first frame. Its animations run only
// while it is visible.
class OnboardingGhost : public QWidget {
    Q_OBJECT

public:
    enum class Motion { floating, celebrate };
    // How far the mascot rises, in pixels.
    static constexpr double liftHeight = 6;

    OnboardingGhost(int size, Motion motion, QWidget* parent = nullptr);

    // How far the mascot is drawn above its rest, in pixels (positive is up).
    double lift() const { return lift_ * liftHeight; }
    // 0 before the entrance, 1 fully shown: the mascot's opacity, and its growth from 0.84 to 1.
    double appearance() const { return appeared_; }
    // Where the mascot's square lies within the widget, at rest.
    QRectF mascotRect() const;
    QSize sizeHint() const override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildMotion();
    void rest();

    int size_;
    Motion motion_;
    double appeared_ = 0;
    double lift_ = 0;
    QParallelAnimationGroup animation_;
};

} // namespace tavlin
