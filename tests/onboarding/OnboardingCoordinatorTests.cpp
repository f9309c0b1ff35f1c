#include "ExpectSoon.h"
#include "OnboardingHarness.h"
#include "OnboardingLayout.h"
#include "OnboardingState.h"
#include "StoredPreferences.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

TEST(OnboardingLayout, FitsTheDesignIntoSmallWindowsAndTheWindowIntoTinyScreens)
{
    const OnboardingLayout full = OnboardingLayout::fit({620, 500}, 15);
    EXPECT_DOUBLE_EQ(full.scale, 1);
    EXPECT_DOUBLE_EQ(full.contentHeight, 500);

    const OnboardingLayout overlay = OnboardingLayout::fit({560, 440}, 0);
    EXPECT_NEAR(overlay.scale, 0.9032, 1e-4);
    EXPECT_DOUBLE_EQ(overlay.contentHeight, 500);

    // A scroll bar that takes width makes the design narrower still.
    const OnboardingLayout legacy = OnboardingLayout::fit({560, 440}, 15);
    EXPECT_NEAR(legacy.scale, 0.8790, 1e-4);
    EXPECT_NEAR(legacy.contentHeight, 500.55, 0.01);

    EXPECT_DOUBLE_EQ(OnboardingLayout::fit({1, 440}, 0).scale, 1.0 / 620);
    EXPECT_DOUBLE_EQ(OnboardingLayout::fit({0, 0}, 15).scale, 1.0 / 620);
    EXPECT_DOUBLE_EQ(OnboardingLayout::fit({620, 700}, 15).contentHeight, 700);

    EXPECT_EQ(OnboardingLayout::windowSize(QSize(600, 480)), QSize(560, 440));
    EXPECT_EQ(OnboardingLayout::windowSize(QSize(1920, 1080)), QSize(620, 500));
    EXPECT_EQ(OnboardingLayout::windowSize(std::nullopt), QSize(620, 500));
    // Tiny work areas still get a window that can be seen.
    EXPECT_EQ(OnboardingLayout::windowSize(QSize(30, 30)), QSize(30, 30));
    EXPECT_EQ(OnboardingLayout::windowSize(QSize(0, -5)), QSize(1, 1));
    EXPECT_EQ(OnboardingLayout::windowSize(QSize(41, 100)), QSize(40, 60));
}

TEST(OnboardingCoordinator, CompletingWritesInOrderAndTearsDownOnce)
{
    OnboardingHarness harness;
    OnboardingCoordinator& coordinator = harness.start();
    QStringList events;
    QObject::connect(&coordinator, &OnboardingCoordinator::finished, [&](OnboardingMode mode) {
        events
            << QStringLiteral("finish %1 %2").arg(int(mode)).arg(harness.defaults.writtenKeys().join(QLatin1Char(',')));
        EXPECT_TRUE(coordinator.window()->isVisible()) << "the window closes after finishing";
    });
    QObject::connect(&coordinator, &OnboardingCoordinator::dismissed, [&](OnboardingMode) {
        events << QStringLiteral("dismissed");
        EXPECT_EQ(coordinator.window(), nullptr);
    });

    OnboardingWindow* window = harness.show();
    EXPECT_EQ(window->objectName(), QStringLiteral("onboarding"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Welcome to Tavlin"));
    EXPECT_EQ(coordinator.prepare(OnboardingMode::replay), window) << "the same window comes back";
    EXPECT_EQ(coordinator.state()->mode(), OnboardingMode::firstLaunch);

    coordinator.state()->setTheme(ThemePreference::dark);
    harness.shortcut->beginRecording();
    QSignalSpy closes(window, &OnboardingWindow::willClose);
    harness.find<QAbstractButton>(QStringLiteral("onboarding-skip"))->click();

    EXPECT_EQ(
        events,
        (QStringList{QStringLiteral("finish 0 interface.theme,onboarding.completed"), QStringLiteral("dismissed")}));
    EXPECT_EQ(closes.count(), 1);
    EXPECT_FALSE(harness.shortcut->recording()) << "a recording left open ends";
    EXPECT_EQ(harness.preferences.themePreference(), ThemePreference::dark);
    QPointer<OnboardingWindow> gone(window);
    EXPECT_SOON(gone.isNull(), 10000);
}

TEST(OnboardingCoordinator, ClosingTheWindowWritesNothingAndStartsOverNextTime)
{
    OnboardingHarness harness;
    int callbacks = 0;
    QObject::connect(&harness.start(), &OnboardingCoordinator::finished, [&] { ++callbacks; });
    QObject::connect(harness.coordinator.get(), &OnboardingCoordinator::dismissed, [&] { ++callbacks; });
    OnboardingWindow* window = harness.show();
    harness.coordinator->state()->setViewMode(HistoryViewMode::cards);
    harness.find<QAbstractButton>(QStringLiteral("onboarding-continue"))->click();
    harness.shortcut->beginRecording();
    window->close();

    EXPECT_EQ(callbacks, 0);
    EXPECT_TRUE(harness.defaults.writtenKeys().isEmpty())
        << harness.defaults.writtenKeys().join(QLatin1Char(',')).toStdString();
    EXPECT_FALSE(harness.shortcut->recording());
    EXPECT_EQ(harness.coordinator->window(), nullptr);
    EXPECT_TRUE(harness.store.resolveNeedsFirstLaunch());

    harness.show(OnboardingMode::replay);
    EXPECT_EQ(harness.coordinator->state()->step(), OnboardingState::Step::welcome);
    EXPECT_EQ(harness.coordinator->state()->viewMode(), HistoryViewMode::list);
    harness.coordinator->shutdown();
    EXPECT_EQ(harness.coordinator->window(), nullptr);
}

TEST(OnboardingCoordinator, AReplayWritesOnlyTheChoicesMadeInIt)
{
    // Untouched: nothing is written, not even values equal to the stored ones.
    {
        OnboardingHarness harness;
        harness.show(OnboardingMode::replay);
        harness.coordinator->state()->complete(OnboardingState::Outcome::skipped);
        EXPECT_EQ(harness.defaults.writtenKeys(), QStringList{StoredPreferences::onboardingCompleted.key});
    }
    // Settings changed the view while the replay was open; the replay changed the theme.
    OnboardingHarness harness;
    harness.show(OnboardingMode::replay);
    harness.preferences.setViewMode(HistoryViewMode::cards);
    harness.coordinator->state()->setTheme(ThemePreference::light);
    harness.coordinator->state()->complete(OnboardingState::Outcome::skipped);
    EXPECT_EQ(harness.preferences.viewMode(), HistoryViewMode::cards) << "the choice made in Settings stays";
    EXPECT_EQ(harness.preferences.themePreference(), ThemePreference::light);
}
