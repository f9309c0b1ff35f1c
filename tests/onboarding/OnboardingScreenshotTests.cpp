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
    ScopedLanguage russian(QStringLiteral("ru"));
    renderSteps(QStringLiteral("ru-light"), false);
    renderSteps(QStringLiteral("ru-dark"), true);
}
