// Every step of the introduction at rest, and one step change halfway.
#include "Screenshots.h"

#include "DesignTestSupport.h"
#include "OnboardingHarness.h"
#include "OnboardingState.h"
#include "ThemedWindow.h"

namespace tavlin::test {
namespace {

// Every step of the introduction, at rest: onboarding-<look>-<step>.png.
void introductionSteps(const QString& look, bool dark, std::optional<QSize> area = QSize(1280, 1000),
                       bool contrast = false)
{
    OnboardingHarness harness;
    harness.area = area;
    harness.appearance.setDark(dark);
    harness.appearance.setIncreasedContrast(contrast);
    harness.appearance.setReduceMotion(true);
    QWidget* window = harness.show();
    for (int step = 0; step < OnboardingState::stepCount; ++step) {
        harness.coordinator->state()->show(*OnboardingState::step(step));
        ThemedWindow::settle();
        shoot(*window, QStringLiteral("onboarding-%1-%2").arg(look).arg(step + 1));
    }
}

} // namespace

void introductionScreenshots()
{
    introductionSteps(QStringLiteral("light"), false);
    introductionSteps(QStringLiteral("dark"), true);
    introductionSteps(QStringLiteral("small"), false, QSize(600, 480)); // a 560 by 440 window
    introductionSteps(QStringLiteral("dark-high-contrast"), true, QSize(1280, 1000), true);
    {
        // Halfway into a step forward: the welcome fading, the next screen sliding in from the right.
        SteppedAnimationDriver clock;
        OnboardingHarness harness;
        QWidget* window = harness.show();
        clock.advanceTo(1000);
        harness.coordinator->state()->advance();
        clock.advanceTo(1120);
        shoot(*window, QStringLiteral("onboarding-light-transition"));
    }
    ScopedLanguage russian(QStringLiteral("ru"));
    introductionSteps(QStringLiteral("ru-light"), false);
    introductionSteps(QStringLiteral("ru-dark"), true);
}

} // namespace tavlin::test
