#pragma once

#include <QVariantAnimation>
#include <QWidget>

namespace tavlin {

// The introduction's progress: one capsule a step, the current one longer, those reached in the
// accent colour. One accessible element, "Step 2 of 4".
class OnboardingProgress : public QWidget {
    Q_OBJECT

public:
    explicit OnboardingProgress(QWidget* parent = nullptr);

    void setStep(int index);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int step_ = 0;
    // Where the longer capsule is, between two steps while it moves.
    double position_ = 0;
    QVariantAnimation move_;
};

} // namespace tavlin
