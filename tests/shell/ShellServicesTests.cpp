#include "HistoryWindow.h"
#include "InMemoryDefaults.h"
#include "OnboardingStore.h"
#include "SettingsNavigation.h"
#include "SystemActivityObserver.h"
#include "SystemNotifications.h"
#include "TemporaryFolder.h"
#include "ViewPreferences.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>
#include <unistd.h>
#include "ExpectSoon.h"

using namespace tavlin;
using namespace tavlin::test;

TEST(SystemActivityObserver, ReportsOnlyTheEdgesOfSuspension)
{
    SystemNotifications center;
    QList<bool> reports;
    SystemActivityObserver observer(center, [&](bool suspended) { reports.append(suspended); });
    Q_EMIT center.willSleep();
    EXPECT_TRUE(reports.isEmpty()) << "nothing before start";

    observer.start();
    observer.start();
    Q_EMIT center.didWake();
    Q_EMIT center.sessionDidResignActive();
    Q_EMIT center.willSleep();
    Q_EMIT center.willSleep();
    Q_EMIT center.didWake();
    Q_EMIT center.sessionDidBecomeActive();
    EXPECT_EQ(reports, (QList<bool>{true, false})) << "one report at the first reason, one at the last";

    Q_EMIT center.willSleep();
    observer.stop();
    EXPECT_EQ(reports, (QList<bool>{true, false, true, false})) << "stopping ends a suspension";
    observer.stop();
    Q_EMIT center.willSleep();
    EXPECT_EQ(reports.size(), 4);
}

TEST(ViewPreferences, ReadsOnlyValidValuesAndWritesEverySet)
{
    InMemoryDefaults empty;
    ViewPreferences fresh(empty);
    EXPECT_EQ(fresh.themePreference(), ThemePreference::system);
    EXPECT_EQ(fresh.viewMode(), HistoryViewMode::list);
    EXPECT_TRUE(fresh.showPreview());
    EXPECT_TRUE(empty.writtenKeys().isEmpty()) << "loading writes nothing";

    InMemoryDefaults odd({{ViewPreferences::themeKey, QStringLiteral("Dark")},
                          {ViewPreferences::viewModeKey, QStringLiteral("grid")},
                          {ViewPreferences::showPreviewKey, QStringLiteral("false")}});
    ViewPreferences tolerant(odd);
    EXPECT_EQ(tolerant.themePreference(), ThemePreference::system);
    EXPECT_EQ(tolerant.viewMode(), HistoryViewMode::list);
    EXPECT_TRUE(tolerant.showPreview()) << "only a stored Bool counts";

    QSignalSpy changed(&fresh, &ViewPreferences::viewModeChanged);
    fresh.setViewMode(HistoryViewMode::cards);
    fresh.setViewMode(HistoryViewMode::cards);
    fresh.setShowPreview(false);
    fresh.setThemePreference(ThemePreference::dark);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(empty.writeCount(ViewPreferences::viewModeKey), 2) << "every set is stored";
    ViewPreferences reloaded(empty);
    EXPECT_EQ(reloaded.viewMode(), HistoryViewMode::cards);
    EXPECT_FALSE(reloaded.showPreview());
    EXPECT_EQ(reloaded.themePreference(), ThemePreference::dark);
}

TEST(OnboardingStore, DecidesTheFirstLaunchAndMigratesEarlierInstalls)
{
    TemporaryFolder folder;
    const QString history = folder.path() + QStringLiteral("/Tavlin");
    {
        InMemoryDefaults defaults;
        const OnboardingStore store{defaults, history};
        EXPECT_TRUE(store.resolveNeedsFirstLaunch()) << "a missing history folder is a new install";
        QDir().mkpath(history);
        writeFile(history + QStringLiteral("/.hidden"), "x");
        EXPECT_TRUE(store.resolveNeedsFirstLaunch()) << "hidden entries are no sign of use";
        writeFile(history + QStringLiteral("/instance.lock"), "");
        const OnboardingStore locked{defaults, history, {QStringLiteral("instance.lock")}};
        EXPECT_TRUE(locked.resolveNeedsFirstLaunch()) << "the running instance's own lock is no sign of use";
        EXPECT_TRUE(defaults.writtenKeys().isEmpty());
    }
    {
        InMemoryDefaults defaults({{QStringLiteral("quickPanel.shortcut"), QByteArray("{}")}});
        const OnboardingStore store{defaults, folder.path() + QStringLiteral("/missing")};
        EXPECT_FALSE(store.resolveNeedsFirstLaunch());
        EXPECT_EQ(defaults.boolValue(OnboardingStore::completedKey), true);
        EXPECT_EQ(defaults.boolValue(OnboardingStore::migratedKey), true);
        EXPECT_FALSE(store.resolveNeedsFirstLaunch());
    }
    {
        writeFile(history + QStringLiteral("/history.sqlite"), "x");
        InMemoryDefaults defaults({{OnboardingStore::startedKey, true}});
        const OnboardingStore store{defaults, history};
        EXPECT_TRUE(store.resolveNeedsFirstLaunch()) << "a begun introduction is shown again";
        EXPECT_TRUE(defaults.writtenKeys().isEmpty());
    }
}

TEST(SettingsNavigation, StepsWithinTheAvailableSectionsWithoutWrapping)
{
    SettingsNavigation navigation;
    QSignalSpy changed(&navigation, &SettingsNavigation::sectionChanged);
    const QList<SettingsSection> available{SettingsSection::interface, SettingsSection::quickPanel};
    navigation.move(1, available);
    EXPECT_EQ(navigation.section(), SettingsSection::interface) << "a section not available goes to the first";
    navigation.move(1, available);
    EXPECT_EQ(navigation.section(), SettingsSection::quickPanel);
    navigation.move(5, available);
    EXPECT_EQ(navigation.section(), SettingsSection::quickPanel);
    navigation.move(-3, available);
    EXPECT_EQ(navigation.section(), SettingsSection::interface);
    navigation.move(-1, {});
    EXPECT_EQ(changed.count(), 5) << "every move notifies";
}

TEST(HistoryWindow, FitsItsScreenAndFallsBackToTheCompactSize)
{
    auto* content = new QWidget();
    HistoryWindow window(content);
    window.move(100, 100);
    window.fit(QRect(0, 0, 1920, 1080));
    EXPECT_EQ(window.size(), HistoryWindow::regularSize);
    EXPECT_EQ(window.pos(), QPoint(100, 100)) << "a window that fits keeps its place";

    window.fit(QRect(0, 0, 1024, 768));
    EXPECT_EQ(window.size(), HistoryWindow::compactSize);
    window.move(900, 700);
    window.fit(QRect(0, 0, 1024, 768));
    EXPECT_EQ(window.geometry(), QRect(1024 - 820, 768 - 540, 820, 540)) << "pushed back inside";

    window.fit(QRect(10, 20, 600, 400));
    EXPECT_EQ(window.geometry(), QRect(10, 20, 600, 400)) << "cut to what the screen has";
}
