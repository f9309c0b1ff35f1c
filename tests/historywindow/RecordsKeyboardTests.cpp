// The history window from the keyboard: the Apps popover's rows, and typing to jump to a record.
#include "HistoryWindowFixture.h"
#include "KeyboardFocus.h"
#include "SourceFilterPopover.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

Qt::CheckState tick(QAbstractItemView* list, int row)
{
    return list->model()->index(row, 0).data(Qt::CheckStateRole).value<Qt::CheckState>();
}

} // namespace

TEST(SourceFilterPopover, ARowIsOneToggleThatKeepsTheKeyboardAndEscapeGoesBackToTheButton)
{
    HistoryWindowFixture fixture;
    fixture.captureText(QStringLiteral("from the editor"), QStringLiteral("org.gnome.TextEditor"));
    fixture.captureText(QStringLiteral("more from the editor"), QStringLiteral("org.gnome.TextEditor"));
    fixture.captureText(QStringLiteral("from firefox"), QStringLiteral("org.mozilla.firefox"));
    fixture.captureText(QStringLiteral("from nowhere"), std::nullopt);
    ContentView& view = fixture.show();
    auto* button = fixture.find<QAbstractButton>(QStringLiteral("history-source-filter"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == view.searchField(); }, 10000));
    QTest::mouseClick(button, Qt::LeftButton);
    SourceFilterPopover* popover = view.sourcePopover();
    ASSERT_TRUE(popover);
    QListView* list = popover->list();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->model()->rowCount(), 3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == list; }, 10000));
    EXPECT_EQ(list->currentIndex().row(), 0) << "the keyboard starts on the first row, whatever the others are";

    // A click on the name, well past the box, ticks the row.
    const QRect first = list->visualRect(list->model()->index(0, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(first.left() + 80, first.center().y()));
    EXPECT_EQ(tick(list, 0), Qt::Checked);
    EXPECT_FALSE(fixture.model->browser().sourceFilter().isAll());

    // The keyboard's row shows its ring, which a click gave none.
    const auto second = [&] { return list->grab(list->visualRect(list->model()->index(1, 0))).toImage(); };
    const QImage unringed = second();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_FALSE(second() == unringed) << "no ring on the keyboard's row";

    // Space ticks the current row; the keyboard stays on it, the popover open.
    QTest::keyClick(list, Qt::Key_Space);
    QCoreApplication::processEvents();
    EXPECT_EQ(tick(list, 1), Qt::Checked);
    EXPECT_EQ(view.sourcePopover(), popover);
    EXPECT_EQ(QApplication::focusWidget(), list);
    EXPECT_EQ(list->currentIndex().row(), 1);
    EXPECT_EQ(popover->findChild<QLabel*>(QStringLiteral("source-filter-summary"))->text(),
              QStringLiteral("Selected: 2"));
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(tick(list, 1), Qt::Unchecked);
    EXPECT_EQ(list->currentIndex().row(), 1);

    // Assistive technology hears each row as a check box with its state.
    QAccessibleInterface* row = QAccessible::queryAccessibleInterface(list)->child(0);
    ASSERT_TRUE(row);
    EXPECT_TRUE(row->state().checkable);
    EXPECT_TRUE(row->state().checked);
    EXPECT_EQ(row->text(QAccessible::Description), QStringLiteral("Records: 2"));

    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !view.sourcePopover(); }, 10000));
    EXPECT_EQ(QApplication::focusWidget(), button);
    EXPECT_TRUE(KeyboardFocus::showsRing(button));
}

TEST(HistoryRecords, TypingJumpsToTheRecordThatStartsWithTheTypedText)
{
    HistoryWindowFixture fixture;
    fixture.captureText(QStringLiteral("{\n  \"name\": \"tavlin\",\n  \"count\": 2\n}"));
    fixture.captureText(QStringLiteral("plain words"));
    fixture.captureText(QStringLiteral("zebra crossing"));
    ContentView& view = fixture.show();
    const qint64 json = fixture.model->browser().clips().last().id;
    const qint64 zebra = fixture.model->browser().clips().first().id;
    // Apart by more than the type-ahead pause, so that each starts a new search.
    const auto type = [](QWidget* records, const QString& text) {
        QTest::qWait(QApplication::keyboardInputInterval() + 100);
        QTest::keyClicks(records, text);
    };
    for (HistoryViewMode mode : {HistoryViewMode::list, HistoryViewMode::cards}) {
        fixture.preferences.setViewMode(mode);
        QAbstractItemView* records = fixture.records();
        records->setFocus();
        type(records, QStringLiteral("z"));
        EXPECT_EQ(view.selection(), zebra);
        type(records, QStringLiteral("{"));
        EXPECT_EQ(view.selection(), json) << "the JSON record's text begins with its brace";
    }
}
