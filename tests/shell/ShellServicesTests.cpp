#include "HistoryWindow.h"
#include "InMemoryDefaults.h"
#include "StoredPreferences.h"
#include "SystemActivityObserver.h"
#include "SystemNotifications.h"
#include "ViewPreferences.h"

#include <QSignalSpy>
#include <QTest>

#include "ExpectSoon.h"
#include <gtest/gtest.h>
#include <unistd.h>

using namespace tavlin;
using namespace tavlin::test;

TEST(SystemActivityObserver, ReportsOnlyTheEdgesOfSuspension)
{
    SystemNotifications center;
    QList<bool> reports;
    SystemActivityObserver observer(center);
    QObject::connect(&observer, &SystemActivityObserver::suspendedChanged,
                     [&](bool suspended) { reports.append(suspended); });
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

    InMemoryDefaults odd({{StoredPreferences::theme.key, QStringLiteral("Dark")},
                          {StoredPreferences::viewMode.key, QStringLiteral("grid")},
                          {StoredPreferences::showPreview.key, QStringLiteral("false")}});
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
    EXPECT_EQ(empty.writeCount(StoredPreferences::viewMode.key), 2) << "every set is stored";
    ViewPreferences reloaded(empty);
    EXPECT_EQ(reloaded.viewMode(), HistoryViewMode::cards);
    EXPECT_FALSE(reloaded.showPreview());
    EXPECT_EQ(reloaded.themePreference(), ThemePreference::dark);
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
