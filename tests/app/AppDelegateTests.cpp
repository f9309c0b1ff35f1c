#include "AppDelegate.h"
#include "AppUpdateController.h"
#include "ApplicationRelauncher.h"
#include "ExpectSoon.h"
#include "FakeApplicationIconImages.h"
#include "FakeDesktopPresses.h"
#include "FakeHotKeyBackend.h"
#include "FakePasteboard.h"
#include "FakeSystemAppearance.h"
#include "FakeSystemTray.h"
#include "FakeTrayColors.h"
#include "FakeWindowFocus.h"
#include "FakeWindowManagerHints.h"
#include "FakeWindowProperties.h"
#include "FakeWorkspace.h"
#include "GlobalShortcut.h"
#include "HistoryModel.h"
#include "HistoryWindow.h"
#include "InMemoryDefaults.h"
#include "OnboardingCoordinator.h"
#include "OnboardingStore.h"
#include "OnboardingWindow.h"
#include "SettingsNavigation.h"
#include "SettingsWindow.h"
#include "StatusItem.h"
#include "StoredPreferences.h"
#include "TemporaryFolder.h"
#include "UnavailableLoginItemService.h"
#include "UnavailableUpdateService.h"
#include "WindowPresenter.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QSignalSpy>
#include <QTest>

#include <qcoro/qcorotask.h>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

// The delegate on in-memory platform pieces and a real store in a temporary folder.
struct DelegateFixture {
    TemporaryFolder folder;
    InMemoryDefaults* defaults = nullptr;
    FakePasteboard* pasteboard = nullptr;
    FakeWorkspace* workspace = nullptr;
    SystemNotifications* notifications = nullptr;
    FakeSystemTray* systemTray = nullptr;
    std::shared_ptr<QStringList> hotKeys;
    int relaunches = 0;
    std::unique_ptr<AppDelegate> delegate;

    explicit DelegateFixture(QVariantMap stored = {{StoredPreferences::onboardingCompleted.key, true}})
    {
        AppDelegate::Platform platform;
        auto ownedDefaults = std::make_unique<InMemoryDefaults>(std::move(stored));
        defaults = ownedDefaults.get();
        platform.defaults = std::move(ownedDefaults);
        auto ownedPasteboard = std::make_unique<FakePasteboard>();
        pasteboard = ownedPasteboard.get();
        platform.pasteboard = std::move(ownedPasteboard);
        auto ownedWorkspace = std::make_unique<FakeWorkspace>();
        workspace = ownedWorkspace.get();
        workspace->frontmost = QStringLiteral("org.gnome.TextEditor");
        platform.workspace = std::move(ownedWorkspace);
        platform.iconImages = std::make_unique<FakeApplicationIconImages>();
        auto ownedNotifications = std::make_unique<SystemNotifications>();
        notifications = ownedNotifications.get();
        platform.systemNotifications = std::move(ownedNotifications);
        platform.appearance = std::make_unique<FakeSystemAppearance>();
        platform.trayColors = std::make_unique<FakeTrayColors>();
        auto ownedTray = std::make_unique<FakeSystemTray>();
        systemTray = ownedTray.get();
        platform.systemTray = std::move(ownedTray);
        platform.windowManager = std::make_unique<FakeWindowManagerHints>();
        platform.windowProperties = std::make_unique<FakeWindowProperties>();
        platform.windowFocus = std::make_unique<FakeWindowFocus>();
        platform.desktopPresses = std::make_unique<FakeDesktopPresses>();
        platform.databasePath = folder.databasePath();
        platform.makeHotKeyBackend = [this] {
            auto backend = std::make_unique<FakeHotKeyBackend>();
            hotKeys = backend->journal;
            return backend;
        };
        platform.loginItems = std::make_unique<UnavailableLoginItemService>();
        platform.makeUpdateService = [](Defaults&) {
            return std::make_unique<UnavailableUpdateService>(UpdateAvailability{});
        };
        platform.relaunchApplication = [this] {
            ++relaunches;
            return false;
        };
        delegate = std::make_unique<AppDelegate>(std::move(platform));
        delegate->windows().setQuickPanel({nullptr, [this] { ++quickPanelShows; }, nullptr});
    }

    HistoryModel& model() { return delegate->model(); }
    WindowPresenter& windows() { return delegate->windows(); }

    int quickPanelShows = 0;
};

} // namespace

TEST(AppDelegate, AFirstLaunchCapturesOnlyWhatIsCopiedAfterTheIntroduction)
{
    DelegateFixture fixture(QVariantMap{});
    fixture.delegate->startServices();
    EXPECT_TRUE(fixture.delegate->isFirstLaunchPending());
    EXPECT_FALSE(fixture.delegate->isMonitoring());
    OnboardingWindow* introduction = fixture.delegate->onboarding().window();
    ASSERT_NE(introduction, nullptr);
    EXPECT_TRUE(introduction->isVisible());
    EXPECT_TRUE(fixture.defaults->boolValue(StoredPreferences::onboardingStarted.key).value_or(false));

    const int polls = fixture.pasteboard->changeCountReads();
    fixture.pasteboard->setString(QStringLiteral("copied during the introduction"));
    // The repository answers in order: a monitoring loop started by mistake would have had its
    // first page and polled the clipboard before this reload returns.
    QCoro::waitFor(fixture.model().browser().reload());
    EXPECT_EQ(fixture.pasteboard->changeCountReads(), polls) << "nothing polls during the introduction";
    fixture.windows().showHistory();
    fixture.delegate->shortcutPressed();
    fixture.delegate->reopen();
    EXPECT_EQ(fixture.windows().historyWindow(), nullptr) << "the introduction comes first";
    EXPECT_EQ(fixture.quickPanelShows, 0);
    EXPECT_EQ(fixture.delegate->onboarding().window(), introduction) << "one introduction, brought forward";

    introduction->findChild<QAbstractButton*>(QStringLiteral("onboarding-skip"))->click();
    // Monitoring looks at the clipboard once with the earlier copy still on it.
    const int afterSkip = fixture.pasteboard->changeCountReads();
    EXPECT_SOON(fixture.pasteboard->changeCountReads() > afterSkip, 10000);
    EXPECT_FALSE(fixture.delegate->isFirstLaunchPending());
    EXPECT_TRUE(fixture.delegate->isMonitoring());
    EXPECT_TRUE(fixture.windows().isHistoryShown()) << "the history window opens";
    EXPECT_TRUE(fixture.defaults->boolValue(StoredPreferences::onboardingCompleted.key).value_or(false));

    fixture.pasteboard->setString(QStringLiteral("copied afterwards"));
    EXPECT_SOON_EQ(fixture.model().browser().totalCount(), 1, 10000);
    EXPECT_EQ(fixture.model().browser().clips().value(0).text, QStringLiteral("copied afterwards"));
}

TEST(AppDelegate, AReplayLeavesCapturingAlone)
{
    DelegateFixture fixture;
    fixture.delegate->startServices();
    ASSERT_TRUE(fixture.delegate->isMonitoring());
    fixture.windows().showOnboarding();
    OnboardingWindow* replay = fixture.delegate->onboarding().window();
    ASSERT_NE(replay, nullptr);
    EXPECT_EQ(fixture.delegate->onboarding().state()->mode(), OnboardingMode::replay);
    EXPECT_FALSE(fixture.defaults->object(StoredPreferences::onboardingStarted.key).isValid());
    fixture.pasteboard->setString(QStringLiteral("copied during the replay"));
    EXPECT_SOON_EQ(fixture.model().browser().totalCount(), 1, 10000);

    fixture.delegate->shortcutPressed();
    EXPECT_EQ(fixture.quickPanelShows, 0) << "the shortcut brings the visible introduction forward";
    replay->findChild<QAbstractButton*>(QStringLiteral("onboarding-skip"))->click();
    EXPECT_TRUE(fixture.delegate->isMonitoring());
    EXPECT_FALSE(fixture.windows().isHistoryShown()) << "a replay opens nothing else";
}

TEST(AppDelegate, AKnownProfileCapturesAtOnceAndStopsInOrder)
{
    DelegateFixture fixture;
    fixture.delegate->startServices();
    fixture.delegate->startMonitoring();
    ASSERT_TRUE(fixture.delegate->isMonitoring());
    ASSERT_TRUE(fixture.hotKeys);
    EXPECT_TRUE(fixture.hotKeys->value(0).startsWith(QStringLiteral("register 9/6144 -> "))) << "Ctrl+Alt+V by default";

    fixture.pasteboard->setString(QStringLiteral("captured"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return fixture.model().browser().totalCount() == 1; }, 10000));

    // Sleep pauses capturing; waking resumes it.
    Q_EMIT fixture.notifications->willSleep();
    EXPECT_TRUE(fixture.model().monitor().isMonitoringSuspended());
    Q_EMIT fixture.notifications->didWake();
    EXPECT_FALSE(fixture.model().monitor().isMonitoringSuspended());

    fixture.delegate->shortcutPressed();
    EXPECT_EQ(fixture.quickPanelShows, 1);

    // Once up, the history window and its content are made ready out of sight.
    EXPECT_SOON(fixture.windows().historyWindow() != nullptr
                    && fixture.windows().historyWindow()->findChild<QAbstractItemView*>(),
                3000);
    EXPECT_FALSE(fixture.windows().isHistoryShown());
    Q_EMIT fixture.delegate->statusItem()->leftClicked();
    ASSERT_NE(fixture.windows().historyWindow(), nullptr);
    EXPECT_TRUE(fixture.windows().historyWindow()->isVisible()) << "the tray toggles the history window";
    fixture.delegate->shutdown();
    EXPECT_TRUE(fixture.hotKeys->contains(QStringLiteral("unregister 1")));
    EXPECT_EQ(fixture.hotKeys->last(), QStringLiteral("shutdown")) << "unregistered before the backend shuts down";
    EXPECT_EQ(fixture.windows().historyWindow(), nullptr);
    EXPECT_FALSE(fixture.delegate->statusItem()->isInstalled());
    EXPECT_FALSE(fixture.delegate->isMonitoring());
    fixture.pasteboard->setString(QStringLiteral("after shutdown"));
    QCoro::waitFor(fixture.model().browser().reload());
    EXPECT_EQ(fixture.model().browser().totalCount(), 1);
}

TEST(AppDelegate, ExcludedApplicationsReachTheCaptureGate)
{
    DelegateFixture fixture(
        {{StoredPreferences::onboardingCompleted.key, true},
         {QStringLiteral("privacy.excludedApplications"), QStringList{QStringLiteral("org.example.Vault")}}});
    fixture.delegate->startServices();
    fixture.workspace->frontmost = QStringLiteral("org.example.Vault");
    const int polls = fixture.pasteboard->changeCountReads();
    fixture.pasteboard->setString(QStringLiteral("from the vault"));
    // A poll that read the change count after the copy has judged it, vault and all.
    EXPECT_TRUE(QTest::qWaitFor([&] { return fixture.pasteboard->changeCountReads() > polls; }, 10000));
    fixture.workspace->frontmost = QStringLiteral("org.gnome.TextEditor");
    fixture.pasteboard->setString(QStringLiteral("from the editor"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return fixture.model().browser().totalCount() == 1; }, 10000));
    EXPECT_EQ(fixture.model().browser().clips().value(0).text, QStringLiteral("from the editor"));
}

TEST(AppDelegate, ALanguageRelaunchReopensSettingsAtTheStoredSection)
{
    {
        DelegateFixture fixture({{StoredPreferences::onboardingCompleted.key, true},
                                 {StoredPreferences::reopenAfterRestart.key, QStringLiteral("privacy")}});
        fixture.delegate->startServices();
        ASSERT_NE(fixture.windows().settingsWindow(), nullptr);
        EXPECT_TRUE(fixture.windows().settingsWindow()->isVisible());
        EXPECT_EQ(fixture.delegate->settingsNavigation().section(), SettingsSection::privacy);
        EXPECT_FALSE(fixture.defaults->object(StoredPreferences::reopenAfterRestart.key).isValid());
    }
    {
        DelegateFixture fixture({{StoredPreferences::onboardingCompleted.key, true},
                                 {StoredPreferences::reopenAfterRestart.key, QStringLiteral("somewhere")}});
        fixture.delegate->startServices();
        EXPECT_EQ(fixture.delegate->settingsNavigation().section(), SettingsSection::interface);
    }
    {
        // A relaunch that could not start takes its marker back.
        DelegateFixture fixture;
        fixture.delegate->relaunchForLanguage();
        EXPECT_EQ(fixture.relaunches, 1);
        EXPECT_FALSE(fixture.defaults->object(StoredPreferences::reopenAfterRestart.key).isValid());
    }
}

// A desktop without a tray would show nothing of a running Tavlin: the history window shows
// instead, at start and whenever the tray goes, but not while the introduction is still due.
TEST(AppDelegate, WithoutATrayTheHistoryWindowShows)
{
    DelegateFixture fixture;
    fixture.systemTray->setAvailable(false);
    fixture.delegate->startServices();
    EXPECT_TRUE(fixture.windows().isHistoryShown()) << "no tray at start";
    fixture.windows().hideHistory();
    fixture.systemTray->setAvailable(true);
    EXPECT_FALSE(fixture.windows().isHistoryShown()) << "a tray came: the icon is enough";
    fixture.systemTray->setAvailable(false);
    EXPECT_TRUE(fixture.windows().isHistoryShown()) << "the tray went";

    DelegateFixture firstLaunch(QVariantMap{});
    firstLaunch.systemTray->setAvailable(false);
    firstLaunch.delegate->startServices();
    EXPECT_FALSE(firstLaunch.windows().isHistoryShown());
    EXPECT_TRUE(firstLaunch.delegate->onboarding().window()->isVisible());
}
