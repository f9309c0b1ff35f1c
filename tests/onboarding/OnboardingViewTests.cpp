#include "DesignTestSupport.h"
#include "OnboardingDemo.h"
#include "OnboardingGhost.h"
#include "OnboardingHarness.h"
#include "OnboardingKeyCaps.h"
#include "OnboardingState.h"
#include "OnboardingView.h"
#include "SwitchToggle.h"
#include "ThemedWindow.h"

#include <QAbstractAnimation>
#include <QAccessible>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

QStringList summary(const OnboardingHarness& harness)
{
    QStringList values;
    for (QLabel* label :
         harness.coordinator->window()->findChildren<QLabel*>(QStringLiteral("onboarding-summary-value")))
        values << label->text();
    return values;
}

} // namespace

TEST(OnboardingView, KeysMoveThroughTheStepsExceptWhileRecording)
{
    OnboardingHarness harness;
    harness.appearance.setReduceMotion(true);
    OnboardingWindow* window = harness.show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    OnboardingState& state = *harness.coordinator->state();
    EXPECT_EQ(harness.find(QStringLiteral("onboarding-back"))->isVisible(), false);
    QTest::keyClick(window, Qt::Key_Return);
    EXPECT_EQ(state.step(), OnboardingState::Step::personalize);
    QTest::keyClick(window, Qt::Key_Enter);
    EXPECT_EQ(state.step(), OnboardingState::Step::quickPanel);

    // The recorder takes Return like any key while it records; the service refuses it.
    auto* recorder = harness.find<QAbstractButton>(QStringLiteral("shortcut-recorder"));
    ASSERT_NE(recorder, nullptr);
    EXPECT_EQ(recorder->text(), QStringLiteral("Change Shortcut"));
    recorder->click();
    ASSERT_TRUE(harness.shortcut->recording());
    EXPECT_EQ(harness.find<QLabel>(QStringLiteral("onboarding-status"))->text(),
              QStringLiteral("Press a new shortcut. Esc cancels."));
    EXPECT_FALSE(harness.find(QStringLiteral("shortcut-reset"))->isEnabled());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(state.step(), OnboardingState::Step::quickPanel) << "Return is a key to record";
    EXPECT_NE(harness.find<QLabel>(QStringLiteral("shortcut-error")), nullptr);
    recorder->click();
    QTest::keyClick(window, Qt::Key_BracketLeft, Qt::ControlModifier);
    EXPECT_EQ(state.step(), OnboardingState::Step::personalize);
    EXPECT_FALSE(state.movingForward());
    harness.shortcut->finishRecording(std::nullopt);

    bool escaped = false;
    QObject::connect(harness.coordinator.get(), &OnboardingCoordinator::dismissed, [&] { escaped = true; });
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(escaped);
    EXPECT_TRUE(window->isVisible()) << "Escape never closes the introduction";
}

// Drawn scaled in a small window, the steps open with the keyboard on Continue, and Tab still
// comes round from there to Skip, and Shift+Tab back.
TEST(OnboardingView, InASmallWindowTabComesRoundFromContinue)
{
    OnboardingHarness harness;
    harness.area = QSize(600, 480);
    OnboardingWindow* window = harness.show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    auto* view = window->findChild<OnboardingView*>();
    ASSERT_TRUE(view->isScaled());
    const auto focused = [view] { return view->column()->focusWidget()->objectName().toStdString(); };
    EXPECT_EQ(focused(), "onboarding-continue");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(focused(), "onboarding-skip");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(focused(), "onboarding-continue");
}

TEST(OnboardingView, ScreensShowTheChoicesAndTheShortcutAsTheyStand)
{
    OnboardingHarness harness;
    harness.appearance.setReduceMotion(true);
    OnboardingWindow* window = harness.show();
    OnboardingState& state = *harness.coordinator->state();
    QWidget* progress = nullptr;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->accessibleName() == QStringLiteral("Step 1 of 4"))
            progress = widget;
    }
    EXPECT_NE(progress, nullptr);

    // Personalize: the controls drive the state, and the demo follows.
    state.show(OnboardingState::Step::personalize);
    auto* demo = window->findChild<OnboardingDemo*>();
    ASSERT_NE(demo, nullptr);
    EXPECT_EQ(demo->accessibleName(), QStringLiteral("Tavlin interface example"));
    EXPECT_EQ(demo->accessibleDescription(), QStringLiteral("List, preview on"));
    // Cards as assistive technology chooses it: a toggle, not a click.
    QAbstractButton* list = nullptr;
    for (QAbstractButton* segment : window->findChildren<QAbstractButton*>()) {
        if (segment->text() == QStringLiteral("Cards"))
            QAccessible::queryAccessibleInterface(segment)->actionInterface()->doAction(
                QAccessibleActionInterface::toggleAction());
        if (segment->text() == QStringLiteral("List"))
            list = segment;
    }
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(list->isChecked()) << "one segment selected";
    QAccessible::queryAccessibleInterface(window->findChild<SwitchToggle*>())
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(state.viewMode(), HistoryViewMode::cards);
    EXPECT_FALSE(state.showPreview());
    EXPECT_EQ(demo->accessibleDescription(), QStringLiteral("Cards, preview off"));
    EXPECT_EQ(harness.preferences.viewMode(), HistoryViewMode::list) << "nothing is saved before the end";

    // Quick Panel: five caps of a long combination become two; Reset brings the default back.
    state.show(OnboardingState::Step::quickPanel);
    const ShortcutBinding everything{40,
                                     ShortcutBinding::controlKey | ShortcutBinding::optionKey
                                         | ShortcutBinding::shiftKey | ShortcutBinding::commandKey};
    harness.shortcut->replace(everything);
    auto* caps = window->findChild<OnboardingKeyCaps*>();
    EXPECT_EQ(OnboardingKeyCaps::displayedCaps(caps->caps(), true),
              (QStringList{QStringLiteral("Ctrl+Alt+Shift+Super"), QStringLiteral("K")}));
    auto* reset = harness.find<QAbstractButton>(QStringLiteral("shortcut-reset"));
    ASSERT_TRUE(reset->isEnabled());
    harness.backend->taken.append(ShortcutBinding::defaultBinding());
    reset->click();
    EXPECT_EQ(harness.shortcut->binding(), everything) << "a refused Reset keeps the shortcut in force";
    auto* error = harness.find<QLabel>(QStringLiteral("shortcut-error"));
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->text(), *harness.shortcut->errorMessage());
    harness.backend->taken.clear();
    reset->click();
    EXPECT_EQ(harness.shortcut->binding(), ShortcutBinding::defaultBinding());
    EXPECT_FALSE(reset->isEnabled());
    EXPECT_EQ(harness.find<QLabel>(QStringLiteral("shortcut-error")), nullptr);

    // Finish: the summary, with the feature's name untranslated in Russian.
    harness.shortcut->replace({9, ShortcutBinding::controlKey | ShortcutBinding::optionKey});
    state.show(OnboardingState::Step::finish);
    EXPECT_EQ(summary(harness),
              (QStringList{QStringLiteral("Match System"), QStringLiteral("Cards"), QStringLiteral("Off"),
                           QStringLiteral("Ctrl+Alt+V")}));
    EXPECT_EQ(harness.find<QAbstractButton>(QStringLiteral("onboarding-continue"))->text(),
              QStringLiteral("Get Started"));
    EXPECT_FALSE(harness.find(QStringLiteral("onboarding-skip"))->isVisible());
    // Taken by another program since: the summary says the shortcut does not work.
    harness.shortcut->beginRecording();
    harness.backend->taken.append(harness.shortcut->binding());
    harness.shortcut->finishRecording(std::nullopt);
    state.show(OnboardingState::Step::personalize);
    state.show(OnboardingState::Step::finish);
    EXPECT_EQ(summary(harness).value(3), QStringLiteral("Ctrl+Alt+V (not available)"));
    harness.backend->taken.clear();
    harness.shortcut->beginRecording();
    harness.shortcut->finishRecording(std::nullopt);
    ScopedLanguage russian(QStringLiteral("ru"));
    state.show(OnboardingState::Step::personalize);
    state.show(OnboardingState::Step::finish);
    QStringList titles;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->accessibleName().startsWith(QStringLiteral("Quick Panel: ")))
            titles << widget->accessibleName();
    }
    EXPECT_EQ(titles, QStringList{QStringLiteral("Quick Panel: Ctrl+Alt+V")});
    EXPECT_EQ(summary(harness).value(2), QStringLiteral("Выкл."));
}

TEST(OnboardingGhost, HopsOnceOnItsOwnClockAndRestsAtOnceWithReducedMotion)
{
    {
        ThemedWindow reduced;
        reduced.system.setReduceMotion(true);
        auto* ghost = reduced.hold(new OnboardingGhost(100, OnboardingGhost::Motion::celebrate));
        EXPECT_EQ(ghost->appearance(), 1) << "shown at rest from its first frame";
        EXPECT_EQ(ghost->lift(), 0);
    }
    {
        SteppedAnimationDriver clock;
        ThemedWindow window;
        auto* ghost = window.hold(new OnboardingGhost(100, OnboardingGhost::Motion::celebrate));
        EXPECT_EQ(ghost->appearance(), 0) << "it grows and fades in";
        clock.advanceTo(300);
        EXPECT_EQ(ghost->lift(), 0);
        EXPECT_GT(ghost->appearance(), 0.5);
        clock.advanceTo(320 + 240);
        EXPECT_NEAR(ghost->lift(), OnboardingGhost::liftHeight, 1.5) << "up about 0.32 s in";
        clock.advanceTo(320 + 260 + 900);
        EXPECT_NEAR(ghost->lift(), 0, 0.1) << "down again 0.26 s later";
        EXPECT_NEAR(ghost->appearance(), 1, 0.01);
    }
    SteppedAnimationDriver clock;
    ThemedWindow window;
    auto* floating = window.hold(new OnboardingGhost(100, OnboardingGhost::Motion::floating));
    const qint64 start = 0;
    clock.advanceTo(start + 480);
    EXPECT_EQ(floating->lift(), 0) << "the float waits half a second";
    clock.advanceTo(start + 500 + 2200);
    EXPECT_NEAR(floating->lift(), OnboardingGhost::liftHeight, 0.1);
    floating->hide();
    clock.advanceTo(start + 500 + 4400);
    EXPECT_NEAR(floating->lift(), OnboardingGhost::liftHeight, 0.1) << "no motion while hidden";
}

// A step change that slides: the new screen is live beneath the pictures from the first frame, so
// the keyboard reaches its controls at once, while its mascot waits for the slide to end and then
// makes its entrance in view.
TEST(OnboardingView, ASlidingStepTakesTheKeyboardAtOnceAndItsMascotComesOnAfterTheSlide)
{
    SteppedAnimationDriver clock;
    OnboardingHarness harness;
    OnboardingWindow* window = harness.show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    auto* view = window->findChild<OnboardingView*>();
    OnboardingState& state = *harness.coordinator->state();
    state.show(OnboardingState::Step::personalize);
    clock.advanceTo(1000);
    QTest::keyClick(window, Qt::Key_Tab); // from Continue round to Skip, then to the first choice
    QTest::keyClick(window, Qt::Key_Tab);
    QWidget* choice = QApplication::focusWidget();
    ASSERT_TRUE(view->screen()->isAncestorOf(choice));

    state.show(OnboardingState::Step::finish);
    clock.advanceTo(1016);
    ASSERT_TRUE(view->isTransitioning());
    EXPECT_EQ(QApplication::focusWidget(), harness.find(QStringLiteral("onboarding-continue")))
        << "the focus left with the removed choice for the new step's default button";
    auto* ghost = view->screen()->findChild<OnboardingGhost*>();
    ASSERT_NE(ghost, nullptr);
    EXPECT_FALSE(ghost->isVisible());

    state.show(OnboardingState::Step::quickPanel);
    clock.advanceTo(1048);
    QTest::keyClick(window, Qt::Key_Tab, Qt::ShiftModifier); // from Continue to Back, then the recorder
    QTest::keyClick(window, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), harness.find(QStringLiteral("shortcut-recorder")))
        << "the sliding screen's own controls take the keyboard";

    state.show(OnboardingState::Step::finish);
    clock.advanceTo(1100);
    ghost = view->screen()->findChild<OnboardingGhost*>();
    qint64 now = 1100;
    while (view->isTransitioning() && now < 4000)
        clock.advanceTo(now += 16);
    ASSERT_FALSE(view->isTransitioning());
    EXPECT_TRUE(ghost->isVisible());
    EXPECT_LT(ghost->appearance(), 0.5) << "its entrance begins as the slide ends";
    clock.advanceTo(now + 2000);
    EXPECT_NEAR(ghost->appearance(), 1, 0.01);
}
