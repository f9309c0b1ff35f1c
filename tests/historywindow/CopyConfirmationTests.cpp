// The copy confirmation as the history window shows it: on the copied record's row or card alone,
// eased in and out, heard as "Copied", and quiet once it has gone.
#include "ConfirmationAnimation.h"
#include "CopyConfirmationBadge.h"
#include "HistoryWindowFixture.h"
#include "RecordListModel.h"

#include <QAccessible>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

class CopyConfirmation : public ::testing::TestWithParam<HistoryViewMode> { };

TEST_P(CopyConfirmation, ShowsOnTheCopiedRecordAloneAndThenLeavesTheViewIdle)
{
    HistoryWindowFixture fixture;
    for (int i = 0; i < 6; ++i)
        fixture.captureText(QStringLiteral("record %1").arg(i));
    fixture.preferences.setViewMode(GetParam());
    ContentView& view = fixture.show();
    QAbstractItemView* records = fixture.records();
    const Clip copied = fixture.model->browser().clips().first();
    view.setSelection(copied.id);
    QTest::qWait(100);
    auto* animation = records->findChild<ConfirmationAnimation*>();
    ASSERT_TRUE(animation);
    QAccessibleInterface* cell = QAccessible::queryAccessibleInterface(records)->child(0);
    EXPECT_EQ(cell->childCount(), 0);

    PaintedRegion painted;
    records->viewport()->installEventFilter(&painted);
    view.copyClip(copied);
    ASSERT_TRUE(QTest::qWaitFor([&] { return animation->state(copied.id).confirmed; }, 10000));
    EXPECT_LT(animation->state(copied.id).progress, 1.0) << "it appears at once";

    // Heard while it shows: one element named "Copied", inside the record's cell.
    ASSERT_EQ(cell->childCount(), 1);
    QAccessibleInterface* badge = cell->child(0);
    EXPECT_EQ(badge->text(QAccessible::Name), QStringLiteral("Copied"));
    EXPECT_EQ(badge->text(QAccessible::UserText), CopyConfirmationBadge::identifier(copied.id));
    EXPECT_EQ(badge->parent(), cell);
    EXPECT_TRUE(cell->rect().contains(badge->rect())) << "the badge stands within its row";

    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !animation->state(copied.id).isShowing() && !animation->isAnimating(); }, 10000));
    QTest::qWait(50);
    EXPECT_EQ(cell->childCount(), 0);
    EXPECT_GT(painted.paints, 2) << "eased in and out over several frames";
    const QRect row = records->visualRect(records->model()->index(0, 0));
    EXPECT_TRUE(row.contains(painted.region.boundingRect())) << "repainted beyond the copied record's row";

    // Gone, it wakes the view no more.
    painted.paints = 0;
    QTest::qWait(400);
    EXPECT_EQ(painted.paints, 0);
}

INSTANTIATE_TEST_SUITE_P(HistoryWindow, CopyConfirmation,
                         ::testing::Values(HistoryViewMode::list, HistoryViewMode::cards), viewModeName);

} // namespace
