// The ages a history window shows move on by themselves, and an open window with nothing
// changing is not woken to repaint ages that read the same, nor beyond the ages that changed.
#include "HistoryRowContent.h"
#include "HistoryWindowFixture.h"
#include "RecordAges.h"
#include "StoreTestSupport.h"

#include <QPainter>
#include <QPicture>
#include <QScreen>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

class RecordAgesView : public ::testing::TestWithParam<HistoryViewMode> { };

// What the window shows on screen: its backing store.
QImage onScreen(QWidget& window)
{
    return QGuiApplication::primaryScreen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

TEST_P(RecordAgesView, AnAgeThatMovesOnRepaintsItsRecordAloneAndNothingElseWakesTheView)
{
    HistoryWindowFixture fixture;
    fixture.store(3);
    // Its title cut, so that it is cut anew as the age beside it widens.
    fixture.store(1, QStringLiteral("a title too long for its row ").repeated(12));
    fixture.store(1);
    const QString path = fixture.folder.databasePath();
    const double now = QDateTime::currentMSecsSinceEpoch() / 1000.0;
    // Hours old, but for one record that turns a minute old shortly after the window shows.
    executeSQL(path, QStringLiteral("UPDATE clips SET created_at = %1").arg(now - 3 * 3600 - 600, 0, 'f', 3));
    const qint64 turning = queryInteger(path, QStringLiteral("SELECT MAX(id) - 1 FROM clips"));
    executeSQL(path,
               QStringLiteral("UPDATE clips SET created_at = %1 WHERE id = %2").arg(now - 54, 0, 'f', 3).arg(turning));
    fixture.preferences.setViewMode(GetParam());
    ContentView& window = fixture.show();
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
    ASSERT_TRUE(painted.waitUntilQuiet());
    ASSERT_GT(QDateTime::currentDateTimeUtc().msecsTo(ages->nextWake()), 0) << "the age turned while the window showed";
    ASSERT_TRUE(QTest::qWaitFor([&] { return painted.paints > 0; }, 10000)) << "the age never moved on";
    QCoreApplication::processEvents();
    const QRect record = records->visualRect(records->model()->index(row, 0));
    EXPECT_TRUE(record.contains(painted.region.boundingRect())) << "repainted beyond the record whose age changed";
    // "1 min" is wider than "Now": what stands beside it gives way, but not the surface's sides
    // nor what leads the record.
    for (const QPoint& kept : {QPoint(record.left() + 8, record.center().y()),
                               QPoint(record.right() - 8, record.center().y()), record.topLeft() + QPoint(40, 30)})
        EXPECT_FALSE(painted.region.contains(kept))
            << "repainted " << kept.x() - record.left() << "," << kept.y() - record.top() << " of the record";
    const QRect area(records->viewport()->mapTo(&window, QPoint()), records->viewport()->size());
    const QImage fresh = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(onScreen(window).copy(area) == fresh.copy(area)) << "the screen differs from a fresh paint";
    // Now "1 min": the next change is a minute away, and nothing wakes the view before it.
    EXPECT_GT(QDateTime::currentDateTimeUtc().msecsTo(ages->nextWake()), 50'000);
    painted.paints = 0;
    QTest::qWait(500);
    EXPECT_EQ(painted.paints, 0);
}

TEST_P(RecordAgesView, AgesTurningTogetherRepaintOnceTheirOwnPlacesAndTheScreenShowsThemMovedOn)
{
    HistoryWindowFixture fixture;
    fixture.store(5);
    const QString path = fixture.folder.databasePath();
    const double now = QDateTime::currentMSecsSinceEpoch() / 1000.0;
    // Hours old, but for two records copied a tenth of a second apart, shown "2 min", that turn
    // "3 min", as wide, shortly after the window shows.
    executeSQL(path, QStringLiteral("UPDATE clips SET created_at = %1").arg(now - 3 * 3600 - 600, 0, 'f', 3));
    const qint64 first = queryInteger(path, QStringLiteral("SELECT MAX(id) - 2 FROM clips"));
    const qint64 second = first - 1;
    executeSQL(path,
               QStringLiteral("UPDATE clips SET created_at = %1 WHERE id = %2").arg(now - 175, 0, 'f', 3).arg(first));
    executeSQL(
        path, QStringLiteral("UPDATE clips SET created_at = %1 WHERE id = %2").arg(now - 175.1, 0, 'f', 3).arg(second));
    fixture.preferences.setViewMode(GetParam());
    ContentView& window = fixture.show();
    QAbstractItemView* records = fixture.records();
    auto* ages = records->findChild<RecordAges*>();
    ASSERT_TRUE(ages);
    QList<QRect> turning;
    const QList<Clip>& clips = fixture.model->browser().clips();
    for (qint64 id : {first, second}) {
        const auto found = std::find_if(clips.begin(), clips.end(), [&](const Clip& clip) { return clip.id == id; });
        ASSERT_NE(found, clips.end());
        turning.append(records->visualRect(records->model()->index(int(found - clips.begin()), 0)));
    }

    PaintedRegion painted;
    records->viewport()->installEventFilter(&painted);
    ASSERT_TRUE(painted.waitUntilQuiet());
    const QImage before = onScreen(window);
    ASSERT_GT(QDateTime::currentDateTimeUtc().msecsTo(ages->nextWake()), 0)
        << "the ages turned while the window showed";
    ASSERT_TRUE(QTest::qWaitFor([&] { return painted.paints > 0; }, 10000)) << "the ages never moved on";
    QTest::qWait(400);
    EXPECT_EQ(painted.paints, 1) << "the view was woken for each age";

    // An age stands at its record's trailing end: titles, icons and kinds are left as they are.
    QRegion trailingHalves;
    for (const QRect& record : turning)
        trailingHalves += record.adjusted(record.width() / 2, 0, 0, 0);
    for (const QRect& rect : painted.region)
        EXPECT_TRUE((QRegion(rect) - trailingHalves).isEmpty())
            << "repainted more than the ages that changed: " << rect.x() << "," << rect.y() << " " << rect.width()
            << "x" << rect.height();
    // The screen shows both records' new ages, as a paint of the whole window would.
    const QImage after = onScreen(window);
    ASSERT_EQ(after.size(), before.size());
    for (const QRect& record : turning) {
        const QRect shown(records->viewport()->mapTo(&window, record.topLeft()), record.size());
        EXPECT_TRUE(after.copy(shown) != before.copy(shown)) << "an age did not change on screen";
    }
    const QRect area(records->viewport()->mapTo(&window, QPoint()), records->viewport()->size());
    const QImage fresh = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(after.copy(area) == fresh.copy(area)) << "the screen differs from a fresh paint of the records";
}

TEST_P(RecordAgesView, AnAgeRepaintedAloneLeavesTheRestOfItsRecordUndrawn)
{
    HistoryWindowFixture fixture;
    fixture.store(1, QStringLiteral("a title too long for its row ").repeated(12));
    fixture.preferences.setViewMode(GetParam());
    fixture.show();
    QAbstractItemView* records = fixture.records();
    const QRect record = records->visualRect(records->model()->index(0, 0));
    ASSERT_FALSE(record.isEmpty());
    // Just copied, it reads "Now": its age repainted as though it had turned as wide.
    const QString now = QStringLiteral("Now");
    const QRect age =
        HistoryRowContent::ageChangeRect(record, GetParam() == HistoryViewMode::list, now, now).toAlignedRect();
    // What the view draws to repaint `region`, replayed unclipped: what it drew beyond shows.
    const auto drawn = [&](const QRegion& region) {
        QPicture picture;
        records->viewport()->render(&picture, region.boundingRect().topLeft(), region, QWidget::DrawChildren);
        QImage image(records->viewport()->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        picture.play(&painter);
        return image;
    };
    // The dark pixels of the record's leading half, inside its surface's edge: its text.
    const QRect leading = record.adjusted(12, 12, -record.width() / 2, -12);
    const auto ink = [&](const QImage& image) {
        int dark = 0;
        for (int y = leading.top(); y <= leading.bottom(); ++y) {
            for (int x = leading.left(); x <= leading.right(); ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        }
        return dark;
    };
    // Its text is laid out off the main thread and may come after the first page.
    ASSERT_TRUE(QTest::qWaitFor([&] { return ink(drawn(record)) > 50; }, 10000))
        << "the record repainted whole shows its text";
    EXPECT_EQ(ink(drawn(age)), 0) << "repainting the age drew the record's text";
}

INSTANTIATE_TEST_SUITE_P(HistoryWindow, RecordAgesView,
                         ::testing::Values(HistoryViewMode::list, HistoryViewMode::cards), viewModeName);

} // namespace
