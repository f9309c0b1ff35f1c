// The history window's selection when its records change under it: a record that leaves the
// listing hands the selection to the first listed record, and a selection set from outside the
// records view leaves the view's scroll position alone.
#include "HistoryWindowFixture.h"
#include "RecordMenu.h"

#include <QLineEdit>
#include <QScrollBar>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

QString modeName(HistoryViewMode mode)
{
    return mode == HistoryViewMode::cards ? QStringLiteral("cards") : QStringLiteral("list");
}

struct Listing {
    HistoryWindowFixture& fixture;

    const QList<Clip>& clips() const { return fixture.model->browser().clips(); }
    qint64 id(const QString& text) const
    {
        for (const Clip& clip : clips()) {
            if (clip.text == text)
                return clip.id;
        }
        ADD_FAILURE() << "not listed: " << text.toStdString();
        return -1;
    }
    // The record the window has selected, checked against what the records view shows selected.
    QString selected() const
    {
        const std::optional<qint64> selection = fixture.view->selection();
        const std::optional<Clip> clip = selection ? RecordMenu::find(clips(), *selection) : std::nullopt;
        if (!clip)
            return QStringLiteral("(none)");
        const QModelIndexList shown = fixture.records()->selectionModel()->selectedIndexes();
        if (shown.size() != 1 || shown.first().row() != clips().indexOf(*clip))
            return QStringLiteral("(the view shows another)");
        return clip->text;
    }
    // Selects as a click would: through the view, which reports it to the window.
    void select(const QString& text) const
    {
        const int row = clips().indexOf(*RecordMenu::find(clips(), id(text)));
        fixture.records()->selectionModel()->setCurrentIndex(fixture.records()->model()->index(row, 0),
                                                             QItemSelectionModel::ClearAndSelect);
        ASSERT_EQ(selected(), text);
    }
};

} // namespace

TEST(SelectionUpkeep, ARecordLeavingTheListingHandsTheSelectionToTheFirst)
{
    for (HistoryViewMode mode : {HistoryViewMode::list, HistoryViewMode::cards}) {
        SCOPED_TRACE(modeName(mode).toStdString());
        HistoryWindowFixture fixture;
        for (const char* text : {"apple one", "banana one", "apple two", "banana two", "apple three", "banana three"})
            fixture.captureText(QString::fromUtf8(text));
        fixture.preferences.setViewMode(mode);
        ContentView& view = fixture.show();
        const Listing listing{fixture};
        HistoryOperations& operations = fixture.model->operations();

        // A search: the next row below "banana two" is "apple two", but the first match is
        // "apple three".
        listing.select(QStringLiteral("banana two"));
        QTest::keyClicks(view.searchField(), QStringLiteral("apple"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return listing.clips().size() == 3; }, 10000));
        EXPECT_EQ(listing.selected(), QStringLiteral("apple three"));

        // A deletion of the selected record.
        view.searchField()->clear();
        fixture.model->browser().setQuery(QString());
        ASSERT_TRUE(QTest::qWaitFor([&] { return listing.clips().size() == 6; }, 10000));
        listing.select(QStringLiteral("apple two"));
        QCoro::waitFor(
            operations.deleteClip(*RecordMenu::find(listing.clips(), listing.id(QStringLiteral("apple two")))));
        ASSERT_TRUE(QTest::qWaitFor([&] { return listing.clips().size() == 5; }, 10000));
        EXPECT_EQ(listing.selected(), QStringLiteral("banana three"));

        // A clear keeping favorites, the selected record lying between two of them.
        for (const char* favorite : {"banana three", "banana one"})
            QCoro::waitFor(operations.setFavorite(
                *RecordMenu::find(listing.clips(), listing.id(QString::fromUtf8(favorite))), true));
        listing.select(QStringLiteral("banana two"));
        QCoro::waitFor(operations.clear(true));
        ASSERT_TRUE(QTest::qWaitFor([&] { return listing.clips().size() == 2; }, 10000));
        EXPECT_EQ(listing.selected(), QStringLiteral("banana three"));
    }
}

TEST(SelectionUpkeep, ASelectionFromOutsideTheViewDoesNotScrollIt)
{
    for (HistoryViewMode mode : {HistoryViewMode::list, HistoryViewMode::cards}) {
        SCOPED_TRACE(modeName(mode).toStdString());
        HistoryWindowFixture fixture;
        fixture.store(60);
        fixture.preferences.setViewMode(mode);
        ContentView& view = fixture.show();
        QScrollBar* scroll = fixture.records()->verticalScrollBar();
        ASSERT_GT(scroll->maximum(), 0);
        scroll->setValue(scroll->maximum());
        const int bottom = scroll->value();

        // The newest record sits at the top, out of sight.
        view.setSelection(fixture.model->browser().clips().at(1).id);
        EXPECT_EQ(scroll->value(), bottom);
        // A reload that finds the selected record gone selects the first one, also out of sight.
        QCoro::waitFor(fixture.model->operations().deleteClip(fixture.model->browser().clips().at(1)));
        ASSERT_TRUE(QTest::qWaitFor([&] { return fixture.model->browser().clips().size() == 59; }, 10000));
        EXPECT_EQ(view.selection(), fixture.model->browser().clips().first().id);
        EXPECT_EQ(scroll->value(), scroll->maximum());
        EXPECT_GT(scroll->value(), 0);
    }
}

// The window's content is made ready out of sight at start-up, and records arrive before the user
// first opens it: it appears with the newest record selected and previewed, as a view built at
// that moment would, not the one that was newest when it was made. From then on the selection is
// the user's and stays while the window is away.
TEST(SelectionUpkeep, AViewMadeReadyAheadAppearsWithTheNewestRecordSelected)
{
    HistoryWindowFixture fixture;
    fixture.captureText(QStringLiteral("apple one"));
    fixture.sources = std::make_unique<SourceApplicationIcon>(fixture.workspace, fixture.icons);
    fixture.view = std::make_unique<ContentView>(
        *fixture.model, fixture.preferences, *fixture.sources, [] {}, true);
    fixture.view->resize(1040, 700);
    const Listing listing{fixture};
    for (const char* text : {"banana one", "apple two"}) {
        fixture.captureText(QString::fromUtf8(text));
        QCoreApplication::processEvents();
    }
    ASSERT_EQ(listing.clips().size(), 3);
    EXPECT_EQ(listing.selected(), QStringLiteral("apple two")) << "out of sight";
    fixture.view->show();
    fixture.settle();
    EXPECT_EQ(listing.selected(), QStringLiteral("apple two"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const auto* preview = fixture.find<QWidget>(QStringLiteral("clip-preview-panel"));
            return preview && preview->isVisible();
        },
        5000));

    listing.select(QStringLiteral("banana one"));
    fixture.view->hide();
    fixture.captureText(QStringLiteral("banana two"));
    QCoreApplication::processEvents();
    fixture.view->show();
    fixture.settle();
    EXPECT_EQ(listing.selected(), QStringLiteral("banana one")) << "the user's choice stays";
}
