#include "OnboardingProgress.h"

#include "OnboardingState.h"
#include "RoundedShape.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QCoreApplication>
#include <QPainter>

namespace tavlin {

namespace {
constexpr int currentWidth = 40;
constexpr int otherWidth = 24;
constexpr int spacing = 6;
} // namespace

OnboardingProgress::OnboardingProgress(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    move_.setDuration(250);
    QEasingCurve easeInOut(QEasingCurve::BezierSpline);
    easeInOut.addCubicBezierSegment(QPointF(0.42, 0), QPointF(0.58, 1), QPointF(1, 1));
    move_.setEasingCurve(easeInOut);
    connect(&move_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        position_ = value.toDouble();
        update();
    });
    setStep(0);
}

void OnboardingProgress::setStep(int index)
{
    step_ = index;
    const int number = index + 1;
    const int count = OnboardingState::stepCount;
    setAccessibleName(QCoreApplication::translate("Onboarding", "Step %1 of %2").arg(number).arg(count));
    move_.stop();
    if (!isVisible() || ThemeAppearance::reduceMotion(this)) {
        position_ = index;
        update();
        return;
    }
    move_.setStartValue(position_);
    move_.setEndValue(double(index));
    move_.start();
}

QSize OnboardingProgress::sizeHint() const
{
    const int count = OnboardingState::stepCount;
    return {currentWidth + (count - 1) * (otherWidth + spacing), 6};
}

void OnboardingProgress::paintEvent(QPaintEvent*)
{
    const Appearance appearance = ThemeAppearance::of(this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor later = TavlinTheme::controlFill.resolve(appearance);
    if (appearance.highContrast) {
        later = TavlinTheme::secondaryText.resolve(appearance);
        later.setAlphaF(later.alphaF() * 0.5f);
    }
    const QColor reached = TavlinTheme::brandAccent.resolve(appearance);
    double x = (width() - sizeHint().width()) / 2.0;
    for (int i = 0; i < OnboardingState::stepCount; ++i) {
        const double nearness = std::max(0.0, 1 - std::abs(i - position_));
        const double capsuleWidth = otherWidth + (currentWidth - otherWidth) * nearness;
        const QRectF capsule(x, (height() - 6) / 2.0, capsuleWidth, 6);
        RoundedShape::fill(painter, capsule, 3, i <= step_ ? reached : later);
        x += capsuleWidth + spacing;
    }
}

} // namespace tavlin
