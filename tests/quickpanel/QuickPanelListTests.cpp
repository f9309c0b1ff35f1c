// The Quick Panel's rows: a list that never trusts an index from before it changed, clicks and
// the keyboard.
#include "QuickPanelFixture.h"
#include "QuickPanelList.h"
#include "QuickPanelRow.h"
#include "RecordListModel.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QImage>
#include <QPainter>
#include <QScrollBar>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

TEST(QuickPanelList, AnIndexFromBeforeAChangeNamesNoRecord)
{
    HistoryFixture history({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    QuickPanelState state(history.model->operations());
    QList<Clip> copies;
    QuickPanelList list(state, history.sources, [&](const Clip& clip) { copies.append(clip); });
    list.resize(396, 200);
    state.open();
    ASSERT_TRUE(waitFor([&] { return list.listModel().rowCount() == 3; }));
    RecordListModel& model = list.listModel();
    const QModelIndex first = model.index(0, 0);
    const QModelIndex last = model.index(2, 0);
    EXPECT_EQ(model.data(last, Qt::DisplayRole).toString(), QStringLiteral("one"));

    // The list empties (a search without matches); a delegate or an assistive tool still holds
    // indexes of the old rows.
    state.setQuery(QStringLiteral("nothing like it"));
    ASSERT_TRUE(waitFor([&] { return model.rowCount() == 0; }));
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 396, 50);
    QImage canvas(396, 50, QImage::Format_ARGB32);
    QPainter painter(&canvas);
    for (const QModelIndex& stale : {first, last, QModelIndex()}) {
        EXPECT_FALSE(model.data(stale, Qt::DisplayRole).isValid());
        EXPECT_FALSE(model.data(stale, Qt::AccessibleTextRole).isValid());
        EXPECT_FALSE(list.itemDelegate()->sizeHint(option, stale).isValid());
        list.itemDelegate()->paint(&painter, option, stale);
    }
    list.copyClickedRow(-1);
    list.copyClickedRow(0);
    list.copyClickedRow(3);
    EXPECT_TRUE(copies.isEmpty());
    state.setQuery(QString());
    ASSERT_TRUE(waitFor([&] { return model.rowCount() == 3; }));
    list.copyClickedRow(3);
    EXPECT_TRUE(copies.isEmpty());
    list.copyClickedRow(2);
    EXPECT_EQ(copies.value(0).text, QStringLiteral("one"));
}

TEST(QuickPanelList, ClicksSelectDoubleClicksCopyAndTheKeyboardStaysAway)
{
    QStringList many;
    for (int i = 0; i < 12; ++i)
        many.append(QStringLiteral("row %1").arg(i));
    HistoryFixture history(many);
    QuickPanelState state(history.model->operations());
    QList<Clip> copies;
    QuickPanelList list(state, history.sources, [&](const Clip& clip) { copies.append(clip); });
    list.resize(396, 200);
    list.show();
    state.open();
    ASSERT_TRUE(waitFor([&] { return list.listModel().rowCount() == 12; }));
    EXPECT_EQ(list.focusPolicy(), Qt::NoFocus);

    const int scrolled = list.verticalScrollBar()->value();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(100, 75));
    EXPECT_EQ(state.selectedClip()->text, QStringLiteral("row 10"));
    EXPECT_EQ(list.verticalScrollBar()->value(), scrolled) << "a click on a visible row does not scroll";
    list.resize(396, 180);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(100, 170));
    EXPECT_EQ(state.selectedClip()->text, QStringLiteral("row 8"));
    EXPECT_EQ(list.verticalScrollBar()->value(), scrolled) << "a click on a partly hidden row does not scroll";
    list.resize(396, 200);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, QPoint(100, 125));
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(copies[0].text, QStringLiteral("row 9"));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(100, 199));
    EXPECT_EQ(copies.size(), 1) << "a third click only selects";

    // The keyboard moves the selection through the state: the list follows and scrolls to it.
    for (int i = 0; i < 8; ++i)
        state.moveSelection(1);
    EXPECT_EQ(state.selectedClip()->text, QStringLiteral("row 0"));
    EXPECT_EQ(list.currentIndex().row(), 11);
    EXPECT_GT(list.verticalScrollBar()->value(), scrolled);
    EXPECT_TRUE(waitFor([&] { return state.rows().contains(state.selectedClip()->id); }))
        << "a row scrolled into view is presented";

    // Assistive technology reads a list of cells, one a record and nothing else (no headers),
    // each named by its record.
    QAccessibleInterface* records = QAccessible::queryAccessibleInterface(&list);
    ASSERT_NE(records, nullptr);
    EXPECT_EQ(records->role(), QAccessible::List);
    EXPECT_EQ(records->childCount(), list.model()->rowCount());
    QAccessibleInterface* cell = records->child(1);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->role(), QAccessible::Cell);
    EXPECT_EQ(cell->text(QAccessible::Name), QStringLiteral("TEXT: row 10"));
}

namespace {

// Reads a widget as assistive technology would when it is hidden while being destroyed.
class ReadWhileDying : public QObject {
public:
    bool read = false;
    std::optional<QAccessible::Role> role;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Hide && !qobject_cast<QAbstractItemView*>(watched)) {
            read = true;
            if (QAccessibleInterface* interface = QAccessible::queryAccessibleInterface(watched))
                role = interface->role();
        }
        return false;
    }
};

} // namespace

// Qt asks for the interface of a window that closes in its destructor, when the list is no more
// than a widget: it is then never taken for the list of records it was.
TEST(QuickPanelList, AListBeingDestroyedIsNoLongerReadAsRecords)
{
    HistoryFixture history({QStringLiteral("one")});
    QuickPanelState state(history.model->operations());
    auto* list = new QuickPanelList(state, history.sources, [](const Clip&) {});
    list->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    ReadWhileDying reader;
    list->installEventFilter(&reader);
    delete list;
    ASSERT_TRUE(reader.read);
    EXPECT_NE(reader.role, QAccessible::List);
}
