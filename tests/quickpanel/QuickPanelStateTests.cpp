// The Quick Panel's state on a real store: its own page, stale results, selection and copies.
#include "QuickPanelFixture.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

QStringList texts(const QuickPanelState& state)
{
    QStringList list;
    for (const Clip& clip : state.clips())
        list.append(clip.text);
    return list;
}

QStringList numbered(int count)
{
    QStringList list;
    for (int i = 1; i <= count; ++i)
        list.append(QStringLiteral("record %1").arg(i));
    return list;
}

} // namespace

TEST(QuickPanelState, ListsTheNewestPageSearchesEverythingAndStartsEachShowingAfresh)
{
    HistoryFixture history(numbered(1000));
    QuickPanelState state(history.model->operations());
    state.open();
    ASSERT_TRUE(waitFor([&] { return state.clips().size() == 200; }));
    EXPECT_EQ(state.clips().first().text, QStringLiteral("record 1000"));
    EXPECT_EQ(state.selectedID(), state.clips().first().id);

    // The search reaches past the page; only the last of quick keystrokes is shown.
    state.setQuery(QStringLiteral("record 1"));
    state.setQuery(QStringLiteral("record 12"));
    state.setQuery(QStringLiteral("record 7"));
    ASSERT_TRUE(waitFor([&] { return state.clips().size() == 111; })); // 7, 70-79, 700-799
    EXPECT_EQ(state.clips().last().text, QStringLiteral("record 7"));
    state.setFavoritesOnly(true);
    ASSERT_TRUE(waitFor([&] { return state.clips().isEmpty(); }));
    EXPECT_EQ(state.selectedID(), std::nullopt);
    state.moveSelection(1);
    EXPECT_EQ(state.selectedID(), std::nullopt);

    // A page that arrives after closing is dropped; the next showing starts empty.
    state.setFavoritesOnly(false);
    state.close();
    QTest::qWait(50);
    EXPECT_TRUE(state.clips().isEmpty());
    state.open();
    EXPECT_EQ(state.query(), QString());
    EXPECT_FALSE(state.favoritesOnly());
    EXPECT_TRUE(waitFor([&] { return state.clips().size() == 200; }));
}

TEST(QuickPanelState, MovesAClampedSelectionThatSurvivesHistoryChanges)
{
    HistoryFixture history({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    QuickPanelState state(history.model->operations());
    state.open();
    ASSERT_TRUE(waitFor([&] { return state.clips().size() == 3; }));
    state.setSelectedID(std::nullopt);
    state.moveSelection(-1);
    EXPECT_EQ(state.selectedClip()->text, QStringLiteral("one")) << "up from nothing takes the last row";
    state.moveSelection(1);
    EXPECT_EQ(state.selectedClip()->text, QStringLiteral("one")) << "no wrap-around";
    state.moveSelection(-1);
    EXPECT_EQ(state.selectedClip()->text, QStringLiteral("two"));

    // A record captured while open shows up; the selection stays on its record.
    history.capture(QStringLiteral("four"));
    ASSERT_TRUE(waitFor([&] { return state.clips().size() == 4; }));
    EXPECT_EQ(texts(state), (QStringList{"four", "three", "two", "one"}));
    EXPECT_EQ(state.selectedClip()->text, QStringLiteral("two"));

    // A search that drops it selects the first match.
    state.setQuery(QStringLiteral("o"));
    ASSERT_TRUE(waitFor([&] { return texts(state) == QStringList({"four", "two", "one"}); }));
    EXPECT_EQ(state.selectedClip()->text, QStringLiteral("two"));
    state.setQuery(QStringLiteral("f"));
    ASSERT_TRUE(waitFor([&] { return texts(state) == QStringList({"four"}); }));
    EXPECT_EQ(state.selectedClip()->text, QStringLiteral("four"));
}

TEST(QuickPanelState, AnIDGivenToAnotherRecordKeepsNothingOfTheOldOnesRow)
{
    HistoryFixture history({QStringLiteral("one"), QStringLiteral("two")});
    QuickPanelState state(history.model->operations());
    state.open();
    ASSERT_TRUE(waitFor([&] { return state.clips().size() == 2; }));
    const Clip newest = state.clips().first();
    QCoro::waitFor(state.loadRow(newest));
    ASSERT_TRUE(state.rows().contains(newest.id));

    // Starring keeps the row.
    QCoro::waitFor(history.model->operations().setFavorite(newest, true));
    ASSERT_TRUE(waitFor([&] { return state.clips().first().isFavorite; }));
    EXPECT_TRUE(state.rows().contains(newest.id));

    // Deleted by another program, the newest record's id goes to the next copy.
    HistoryStore(history.folder.databasePath()).deleteClip(newest.id);
    history.capture(QStringLiteral("three"));
    ASSERT_TRUE(waitFor([&] { return state.clips().first().text == QStringLiteral("three"); }));
    ASSERT_EQ(state.clips().first().id, newest.id);
    EXPECT_FALSE(state.rows().contains(newest.id));
}

TEST(QuickPanelState, ACopyShowsOnlyItsOwnFailure)
{
    HistoryFixture history;
    history.pasteboard.setItems(
        {{{QStringLiteral("com.adobe.pdf")}, {{QStringLiteral("com.adobe.pdf"), QByteArray(24 << 20, 'p')}}}});
    QCoro::waitFor(history.model->monitor().tick());
    history.capture(QStringLiteral("small"));
    QuickPanelState state(history.model->operations());
    state.open();
    ASSERT_TRUE(waitFor([&] { return state.clips().size() == 2; }));
    const Clip small = state.clips()[0];
    const Clip large = state.clips()[1];

    // A message of another operation: a row that could not be loaded.
    Clip gone = small;
    gone.id = 999999;
    QCoro::waitFor(history.model->operations().rowPresentation(gone));
    ASSERT_TRUE(history.model->browser().errorMessage().has_value());

    // The panel's copy is overtaken by another copy while its payload loads: it failed for no
    // reason of its own, and says so in general terms.
    auto overtaken = state.copy(large);
    EXPECT_FALSE(await(state.copy(small))) << "a second copy while one runs";
    auto other = history.model->operations().copy(small);
    EXPECT_FALSE(await(std::move(overtaken)));
    EXPECT_EQ(state.errorMessage(), QStringLiteral("Could not copy the record. Try again."));
    EXPECT_TRUE(await(std::move(other)));

    // A failure of its own shows its own text.
    auto changed = state.copy(large);
    history.pasteboard.setString(QStringLiteral("someone else's"));
    EXPECT_FALSE(await(std::move(changed)));
    EXPECT_EQ(state.errorMessage(), QStringLiteral("The clipboard changed. Copy the record again."));

    // A copy whose panel closed meanwhile writes nothing and leaves the state alone.
    const int writes = history.pasteboard.writeCount();
    auto late = state.copy(large);
    state.close();
    EXPECT_FALSE(await(std::move(late)));
    EXPECT_EQ(history.pasteboard.writeCount(), writes);
}
