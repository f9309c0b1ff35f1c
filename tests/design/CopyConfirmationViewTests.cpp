#include "DesignTestSupport.h"

#include "ConfirmationAnimation.h"
#include "CopyConfirmationBadge.h"
#include "CopyConfirmationShape.h"
#include "CopyFeedback.h"
#include "ThemedWindow.h"

#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

namespace tavlin {
namespace {

Clip clip(qint64 id)
{
    Clip record;
    record.id = id;
    return record;
}

CopyFeedback::CopyStep succeeding()
{
    return [](const Clip&) -> QCoro::Task<bool> { co_return true; };
}

void copy(CopyFeedback& feedback, qint64 id)
{
    QCoro::waitFor(feedback.perform(clip(id), succeeding()));
}

using State = ConfirmationAnimation::State;

bool settledAt(const ConfirmationAnimation& animation, qint64 id, qreal progress)
{
    return !animation.isAnimating() && animation.state(id).progress == progress;
}

TEST(CopyConfirmationViews, UnderReducedMotionOnlyTheCopiedRecordConfirmsAtOnce)
{
    test::ThemedWindow window;
    window.system.setReduceMotion(true);
    auto* view = window.hold(new QWidget);
    CopyFeedback feedback([](auto, auto) {});
    ConfirmationAnimation animation(&feedback, view);

    copy(feedback, 1);
    EXPECT_TRUE(animation.state(1).confirmed);
    EXPECT_EQ(animation.state(1).progress, 1.0);
    EXPECT_FALSE(animation.state(2).isShowing());
    EXPECT_FALSE(animation.isAnimating());

    copy(feedback, 2);
    EXPECT_FALSE(animation.state(1).isShowing());
    EXPECT_EQ(animation.state(2).progress, 1.0);
    EXPECT_FALSE(animation.isAnimating());
}

TEST(CopyConfirmationViews, WithMotionTheConfirmationEasesInAndFadesOutWhenAnotherRecordIsCopied)
{
    test::ThemedWindow window;
    auto* view = window.hold(new QWidget);
    CopyFeedback feedback([](auto, auto) {});
    ConfirmationAnimation animation(&feedback, view);
    QList<qint64> changes;
    QObject::connect(&animation, &ConfirmationAnimation::changed, [&](qint64 id) { changes.append(id); });

    copy(feedback, 7);
    // It starts from nothing rather than appear in one frame, and its timer stops once it is in.
    EXPECT_TRUE(animation.state(7).confirmed);
    EXPECT_EQ(animation.state(7).progress, 0.0);
    EXPECT_TRUE(animation.isAnimating());
    ASSERT_TRUE(QTest::qWaitFor([&] { return settledAt(animation, 7, 1.0); }, 10000));
    EXPECT_EQ(changes.count(7), changes.size()) << "only the copied record is repainted";

    copy(feedback, 8);
    EXPECT_EQ(animation.state(7), (State{false, 1.0})) << "the first record's confirmation fades, not vanishes";
    EXPECT_EQ(animation.state(8), (State{true, 0.0}));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return settledAt(animation, 7, 0.0) && animation.state(8).progress == 1.0; }, 10000));

    // A second copy of the same record starts its confirmation over.
    copy(feedback, 8);
    EXPECT_EQ(animation.state(8), (State{true, 0.0}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return settledAt(animation, 8, 1.0); }, 10000));
}

// The badge and the fill as a row draws them, over white.
QImage painted(qreal progress, bool badge)
{
    QImage image(200, 40, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    if (badge)
        CopyConfirmationBadge::paint(painter, QRectF(0, 0, 190, 40), Appearance{}, progress);
    else
        CopyConfirmationGeometry::paintFill(painter, QRectF(0, 0, 200, 40), CopyConfirmationShape::listRow,
                                            Appearance{}, progress);
    return image;
}

int leftmostInk(const QImage& image)
{
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return x;
        }
    }
    return image.width();
}

TEST(CopyConfirmationViews, TheBadgeGrowsFromItsTrailingEdgeAndTheFillFadesIn)
{
    const QImage half = painted(0.5, true);
    const QImage whole = painted(1.0, true);
    const int wholeLeft = leftmostInk(whole);
    EXPECT_EQ(wholeLeft, 190 - CopyConfirmationBadge::badgeSize().width());
    // Scaled 0.96 about its trailing edge: a few pixels narrower, its end in place.
    EXPECT_GT(leftmostInk(half), wholeLeft + 1);
    EXPECT_LT(leftmostInk(half), wholeLeft + 6);
    EXPECT_EQ(leftmostInk(painted(0.0, true)), 200);

    const QColor fillHalf = painted(0.5, false).pixelColor(100, 20);
    const QColor fillWhole = painted(1.0, false).pixelColor(100, 20);
    EXPECT_NE(fillWhole, QColor(Qt::white));
    EXPECT_GT(fillHalf.lightness(), fillWhole.lightness()) << "half faded in is paler";
    EXPECT_LT(fillHalf.lightness(), 255);
}

} // namespace
} // namespace tavlin
