// The ages a history window shows move on by themselves, and an open window with nothing
// changing is not woken to repaint ages that read the same.
#include "HistoryWindowFixture.h"
#include "RecordAges.h"
#include "StoreTestSupport.h"

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

class RecordAgesView : public ::testing::TestWithParam<HistoryViewMode> { };

TEST_P(RecordAgesView, AnAgeThatMovesOnRepaintsItsRecordAloneAndNothingElseWakesTheView)
{
    HistoryWindowFixture fixture;
    fixture.store(5);
    const QString path = fixture.folder.databasePath();
    const double now = QDateTime::currentMSecsSinceEpoch() / 1000.0;
    // Hours old, but for one record that turns a minute old shortly after the window shows.
    executeSQL(path, QStringLiteral("UPDATE clips SET created_at = %1").arg(now - 3 * 3600 - 600, 0, 'f', 3));
    const qint64 turning = queryInteger(path, QStringLiteral("SELECT MAX(id) - 1 FROM clips"));
    executeSQL(path,
               QStringLiteral("UPDATE clips SET created_at = %1 WHERE id = %2").arg(now - 54, 0, 'f', 3).arg(turning));
    fixture.preferences.setViewMode(GetParam());
    fixture.show();
    QAbstractItemView* records = fixture.records();
    auto* ages = records->findChild<RecordAges*>();
    ASSERT_TRUE(ages);
    const QList<Clip>& clips = fixture.model->browser().clips();
    const auto found = std::find_if(clips.begin(), clips.end(), [&](const Clip& clip) { return clip.id == turning; });
    ASSERT_NE(found, clips.end());
    const int row = int(found - clips.begin());

    PaintedRegion painted;
    records->viewport()->installEventFilter(&painted);
    // The window's first paints come to an end before the age turns.
    const auto quiet = [&] {
        painted.paints = 0;
        QTest::qWait(200);
        return painted.paints == 0;
    };
    ASSERT_TRUE(QTest::qWaitFor(quiet, 5000));
    painted.region = QRegion();
    ASSERT_GT(QDateTime::currentDateTimeUtc().msecsTo(ages->nextWake()), 0) << "the age turned while the window showed";
    ASSERT_TRUE(QTest::qWaitFor([&] { return painted.paints > 0; }, 10000)) << "the age never moved on";
    EXPECT_TRUE(records->visualRect(records->model()->index(row, 0)).contains(painted.region.boundingRect()))
        << "repainted beyond the record whose age changed";
    // Now "1 min": the next change is a minute away, and nothing wakes the view before it.
    EXPECT_GT(QDateTime::currentDateTimeUtc().msecsTo(ages->nextWake()), 50'000);
    painted.paints = 0;
    QTest::qWait(500);
    EXPECT_EQ(painted.paints, 0);
}

INSTANTIATE_TEST_SUITE_P(HistoryWindow, RecordAgesView,
                         ::testing::Values(HistoryViewMode::list, HistoryViewMode::cards), viewModeName);

} // namespace
