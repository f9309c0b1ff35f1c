// The history window from the keyboard: Tab goes through it as it reads and stops only on
// controls, Escape takes back a search, Shift+F10 opens the menu the Menu key opens, menus
// opened from the keyboard start on an entry.
#include "HistoryWindowFixture.h"
#include "TextFocusRing.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

// Presses Tab from `start` until the focus comes back to it; the focused widgets on the way.
QList<QWidget*> tabCycle(QWidget* start)
{
    start->setFocus(Qt::TabFocusReason);
    QList<QWidget*> stops{start};
    for (int i = 0; i < 60; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        if (!focus || focus == start)
            break;
        stops.append(focus);
    }
    return stops;
}

QMenu* openPopupMenu()
{
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

} // namespace

TEST(HistoryKeyboard, TabGoesThroughTheWindowAsItReadsAndStopsOnlyOnControls)
{
    HistoryWindowFixture fixture;
    fixture.captureText(QStringLiteral("first"));
    fixture.captureText(QStringLiteral("second"));
    ContentView& view = fixture.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == view.searchField(); }, 10000));
    // A group of one-of-several choices is one stop, at its chosen member (the arrows move within).
    const QStringList reading{QStringLiteral("history-section-history"), QStringLiteral("history-settings"),
                              QStringLiteral("history-search"),          QStringLiteral("history-preview-toggle"),
                              QStringLiteral("history-more-actions"),    QStringLiteral("history-kind-all"),
                              QStringLiteral("history-source-filter")};

    for (HistoryViewMode mode : {HistoryViewMode::list, HistoryViewMode::cards}) {
        SCOPED_TRACE(mode == HistoryViewMode::list ? "list" : "cards");
        // A change of view builds the records view anew: it keeps its place in the order.
        fixture.preferences.setViewMode(mode);
        QCoreApplication::processEvents();
        QWidget* preview = fixture.find(QStringLiteral("clip-preview-panel"));
        ASSERT_TRUE(preview);
        const QList<QWidget*> stops = tabCycle(fixture.find(reading.first()));
        QStringList names;
        for (QWidget* stop : stops)
            names.append(stop->objectName());
        ASSERT_GT(stops.size(), reading.size() + 1) << names.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(names.mid(0, reading.size()), reading);
        EXPECT_EQ(stops[reading.size()], view.recordsView()) << names.join(QLatin1Char(' ')).toStdString();
        // Then the preview: the record's text, which shows that it has the keyboard, and its
        // buttons; nothing that only holds others.
        const QList<QWidget*> previewStops = stops.mid(reading.size() + 1);
        ASSERT_FALSE(previewStops.isEmpty());
        auto* text = qobject_cast<QAbstractScrollArea*>(previewStops.first());
        ASSERT_TRUE(text) << previewStops.first()->metaObject()->className();
        EXPECT_TRUE(fixture.find(QStringLiteral("clip-preview"))->isAncestorOf(text));
        for (QWidget* stop : previewStops) {
            EXPECT_TRUE(preview->isAncestorOf(stop)) << stop->metaObject()->className();
            EXPECT_FALSE(qobject_cast<QScrollArea*>(stop)) << stop->metaObject()->className();
        }
        text->setFocus(Qt::TabFocusReason);
        TextFocusRing* ring = preview->findChild<TextFocusRing*>();
        ASSERT_TRUE(ring);
        EXPECT_TRUE(ring->isVisible()) << "the text shows that Tab gave it the keyboard";
        view.searchField()->setFocus(Qt::MouseFocusReason);
        text->setFocus(Qt::MouseFocusReason);
        EXPECT_FALSE(ring->isVisible()) << "a click shows no ring";
    }
}

TEST(HistoryKeyboard, EscapeInTheSearchFieldTakesBackTheQueryFirst)
{
    HistoryWindowFixture fixture;
    fixture.captureText(QStringLiteral("apple"));
    fixture.captureText(QStringLiteral("banana"));
    ContentView& view = fixture.show();
    QLineEdit* search = view.searchField();
    QTest::keyClicks(search, QStringLiteral("app"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return fixture.model->browser().clips().size() == 1; }, 10000));

    QTest::keyClick(search, Qt::Key_Escape);
    EXPECT_EQ(fixture.model->browser().query(), QString());
    EXPECT_EQ(search->text(), QString());
    EXPECT_TRUE(QTest::qWaitFor([&] { return fixture.model->browser().clips().size() == 2; }, 10000));
    // With nothing left to take back, Escape changes nothing here.
    QTest::keyClick(search, Qt::Key_Escape);
    EXPECT_EQ(search->text(), QString());
    EXPECT_TRUE(search->hasFocus());
}

TEST(HistoryKeyboard, ShiftF10OpensTheSelectedRecordsMenu)
{
    for (HistoryViewMode mode : {HistoryViewMode::list, HistoryViewMode::cards}) {
        SCOPED_TRACE(mode == HistoryViewMode::list ? "list" : "cards");
        HistoryWindowFixture fixture;
        fixture.captureText(QStringLiteral("first"));
        fixture.captureText(QStringLiteral("second"));
        fixture.preferences.setViewMode(mode);
        ContentView& view = fixture.show();
        const Clip older = fixture.model->browser().clips().last();
        view.setSelection(older.id);
        fixture.records()->setFocus(Qt::TabFocusReason);

        QTest::keyClick(fixture.records(), Qt::Key_F10, Qt::ShiftModifier);
        QMenu* menu = openPopupMenu();
        ASSERT_TRUE(menu);
        EXPECT_EQ(menu->title(), QStringLiteral("Record"));
        ASSERT_FALSE(menu->actions().isEmpty());
        EXPECT_EQ(menu->actions().first()->data().toList().value(0).toLongLong(), older.id)
            << "the menu is the selected record's";
        menu->close();

        // In the search field it is the field's own menu, as with the Menu key.
        view.searchField()->setFocus();
        QTest::keyClick(view.searchField(), Qt::Key_F10, Qt::ShiftModifier);
        menu = openPopupMenu();
        ASSERT_TRUE(menu);
        EXPECT_NE(menu->title(), QStringLiteral("Record"));
        menu->close();
    }
}

TEST(HistoryKeyboard, SpaceOpensMoreActionsOnItsFirstEntryAndAClickOnNone)
{
    HistoryWindowFixture fixture;
    fixture.captureText(QStringLiteral("first"));
    fixture.show();
    auto* more = fixture.find<QToolButton>(QStringLiteral("history-more-actions"));
    more->setFocus(Qt::TabFocusReason);
    QTest::keyClick(more, Qt::Key_Space);
    QMenu* menu = openPopupMenu();
    ASSERT_TRUE(menu);
    ASSERT_TRUE(menu->activeAction());
    EXPECT_EQ(menu->activeAction()->text(), QStringLiteral("Clear All History…"));
    menu->close();

    QTest::mouseClick(more, Qt::LeftButton);
    menu = openPopupMenu();
    ASSERT_TRUE(menu);
    EXPECT_FALSE(menu->activeAction());
    menu->close();
}
