// Every step of the introduction at rest, and one step change halfway.
#include "Screenshots.h"

#include "DesignTestSupport.h"
#include "OnboardingHarness.h"
#include "OnboardingState.h"
#include "ThemedWindow.h"

#include <QApplication>
#include <QTest>

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
    // Walked by keyboard: Shift+Tab from Skip rings Continue, and Return keeps the ring on the
    // last step's Get Started.
    window->activateWindow();
    (void)QTest::qWaitForWindowActive(window);
    harness.coordinator->state()->show(OnboardingState::Step::quickPanel);
    // To the control with the keyboard, as a key press goes: in a small window, that is the view
    // of the scaled design.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    shoot(*window, QStringLiteral("onboarding-%1-3-keyboard").arg(look));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ThemedWindow::settle();
    shoot(*window, QStringLiteral("onboarding-%1-4-keyboard").arg(look));
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
