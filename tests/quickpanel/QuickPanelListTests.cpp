// The Quick Panel's rows: their one-line summaries, thumbnails, accessibility, and a list that
// never trusts an index from before it changed.
#include "QuickPanelFixture.h"
#include "QuickPanelList.h"
#include "QuickPanelListModel.h"
#include "QuickPanelRow.h"
#include "StoredPlaceholder.h"

#include <QAccessible>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QScrollBar>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

Clip textClip(const QString& text, qint64 id = 1, ClipKind kind = ClipKind::text)
{
    Clip clip;
    clip.id = id;
    clip.text = text;
    clip.kind = kind;
    return clip;
}

QString summary(const QString& text)
{
    return QuickPanelRow::summary(textClip(text), std::nullopt);
}

QByteArray png(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

TEST(QuickPanelRow, SummarizesARecordInOneLine)
{
    EXPECT_EQ(summary(QStringLiteral("{\n  \"key\": 1\n}")), QStringLiteral("  \"key\": 1"));
    EXPECT_EQ(summary(QStringLiteral(" [ \n\t[")), QStringLiteral(" [ "));
    EXPECT_EQ(summary(QStringLiteral("\n\n  \nletters")), QStringLiteral("  "));
    EXPECT_EQ(summary(QStringLiteral("first\r\nsecond")), QStringLiteral("first"));
    EXPECT_EQ(summary(QStringLiteral("first\u2028second")), QStringLiteral("first"));
    EXPECT_EQ(summary(QStringLiteral("\r\n\u2029")), QString());
    EXPECT_EQ(summary(QString()), QString());
    // Characters as the user sees them: an emoji with its modifier is one.
    const QString thumbs = QStringLiteral("👍🏽");
    EXPECT_EQ(summary(thumbs.repeated(700)), thumbs.repeated(600));
    const QString megabyte = QString(1 << 20, QLatin1Char('a'));
    EXPECT_EQ(summary(megabyte).size(), 600);
    EXPECT_EQ(QuickPanelRow::tooltip(textClip(megabyte)).size(), 1200);
    // Placeholders read in the interface language; files by their first name once known.
    EXPECT_EQ(QuickPanelRow::summary(textClip(StoredPlaceholder::image(), 1, ClipKind::image), std::nullopt), QStringLiteral("Image"));
    ClipRowPresentation files;
    files.metadata.fileNames = {QStringLiteral("report.pdf"), QStringLiteral("notes.txt")};
    EXPECT_EQ(QuickPanelRow::summary(textClip(StoredPlaceholder::files(2), 1, ClipKind::file), files), QStringLiteral("report.pdf"));

    // Thumbnails decode when small enough; anything else falls back to the kind's symbol.
    EXPECT_EQ(QuickPanelRow::decodeThumbnail(png({64, 40})).size(), QSize(64, 40));
    EXPECT_TRUE(QuickPanelRow::decodeThumbnail(png({1025, 8})).isNull());
    EXPECT_TRUE(QuickPanelRow::decodeThumbnail(QByteArray("not an image")).isNull());
}

TEST(QuickPanelList, AnIndexFromBeforeAChangeNamesNoRecord)
{
    HistoryFixture history({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    QuickPanelState state(history.model->operations());
    QList<Clip> copies;
    QuickPanelList list(state, [&](const Clip& clip) { copies.append(clip); });
    list.resize(396, 200);
    state.open();
    ASSERT_TRUE(waitFor([&] { return list.listModel().rowCount() == 3; }));
    QuickPanelListModel& model = list.listModel();
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
    QuickPanelList list(state, [&](const Clip& clip) { copies.append(clip); });
    list.resize(396, 200);
    list.show();
    state.open();
    ASSERT_TRUE(waitFor([&] { return list.listModel().rowCount() == 12; }));
    EXPECT_EQ(list.focusPolicy(), Qt::NoFocus);

    const int scrolled = list.verticalScrollBar()->value();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(100, 75));
    EXPECT_EQ(state.selectedClip()->text, QStringLiteral("row 10"));
    EXPECT_EQ(list.verticalScrollBar()->value(), scrolled) << "a click on a visible row does not scroll";
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
    EXPECT_TRUE(waitFor([&] { return state.rows().contains(state.selectedClip()->id); })) << "a row scrolled into view is presented";

    // Assistive technology reads every row as a cell named by its summary.
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&list);
    ASSERT_NE(table, nullptr);
    ASSERT_NE(table->tableInterface(), nullptr);
    QAccessibleInterface* cell = table->tableInterface()->cellAt(1, 0);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->role(), QAccessible::Cell);
    EXPECT_EQ(cell->text(QAccessible::Name), QStringLiteral("row 10"));
}
