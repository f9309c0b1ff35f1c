#include "DesignTestSupport.h"
#include "OnboardingHarness.h"
#include "OnboardingState.h"

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

// Every step of one showing, in build/screenshots/onboarding-<look>-<n>.png.
void renderSteps(const QString& look, bool dark, std::optional<QSize> area = QSize(1280, 1000))
{
    OnboardingHarness harness;
    harness.area = area;
    harness.appearance.setDark(dark);
    harness.appearance.setReduceMotion(true); // each step at rest
    OnboardingWindow* window = harness.show();
    for (int step = 0; step < OnboardingState::stepCount; ++step) {
        harness.coordinator->state()->show(*OnboardingState::step(step));
        OnboardingHarness::settle();
        saveScreenshot(*window, QStringLiteral("onboarding-%1-%2").arg(look).arg(step + 1));
    }
}

} // namespace

TEST(OnboardingScreenshots, EveryStepInBothThemesBothLanguagesAndASmallScreen)
{
    renderSteps(QStringLiteral("light"), false);
    renderSteps(QStringLiteral("dark"), true);
    renderSteps(QStringLiteral("small"), false, QSize(600, 480));

    // Halfway into a step forward: the welcome fading, the next screen sliding in from the right.
    SteppedAnimationDriver clock;
    OnboardingHarness harness;
    OnboardingWindow* window = harness.show();
    clock.advanceTo(1000);
    harness.coordinator->state()->advance();
    clock.advanceTo(1120);
    saveScreenshot(*window, QStringLiteral("onboarding-light-transition"));
    ScopedLanguage russian(QStringLiteral("ru"));
    renderSteps(QStringLiteral("ru-light"), false);
    renderSteps(QStringLiteral("ru-dark"), true);
}
