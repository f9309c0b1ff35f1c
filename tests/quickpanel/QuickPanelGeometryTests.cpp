// Placement and motion of the Quick Panel: pure functions, checked against worked values.
#include "QuickPanelGeometry.h"
#include "QuickPanelMotion.h"

#include <gtest/gtest.h>

using namespace tavlin;
using Display = QuickPanelGeometry::Display;
using Seed = QuickPanelGeometry::Seed;

namespace {

void expectRect(const QRectF& actual, qreal x, qreal y, qreal width, qreal height)
{
    EXPECT_NEAR(actual.x(), x, 1e-9);
    EXPECT_NEAR(actual.y(), y, 1e-9);
    EXPECT_NEAR(actual.width(), width, 1e-9);
    EXPECT_NEAR(actual.height(), height, 1e-9);
}

Display plain(QRectF frame, QRectF visible, qreal scale = 2)
{
    return {frame, visible, 0, std::nullopt, std::nullopt, scale};
}

} // namespace

TEST(QuickPanelGeometry, HangsFromTheTopOfTheUsableAreaSnappedToPixels)
{
    const Display wide = plain({0, 0, 1440, 900}, {0, 0, 1440, 875});
    expectRect(QuickPanelGeometry::frame(wide), 510, 565, 420, 310);
    EXPECT_EQ(QuickPanelGeometry::seed(wide, QuickPanelGeometry::frame(wide)), (Seed{210, 120, false}));

    const Display notched{{0, 0, 1512, 982},       {0, 0, 1512, 945},         37,
                          QRectF(0, 945, 662, 37), QRectF(850, 945, 662, 37), 2};
    expectRect(*QuickPanelGeometry::notch(notched), 662, 945, 188, 37);
    const QRectF hanging = QuickPanelGeometry::frame(notched);
    expectRect(hanging, 546, 635, 420, 310);
    EXPECT_EQ(QuickPanelGeometry::seed(notched, hanging), (Seed{210, 188, true}));
    // Moved off the housing by more than a pixel: the centred strip instead.
    EXPECT_FALSE(QuickPanelGeometry::seed(notched, hanging.translated(0, -1)).attachedToNotch);

    // Too low: shrunk uniformly, never enlarged.
    const Display small = plain({0, 0, 800, 300}, {0, 0, 800, 280});
    const QRectF shrunk = QuickPanelGeometry::frame(small);
    expectRect(shrunk, 210.5, 0, 379, 280);
    EXPECT_EQ(QuickPanelGeometry::seed(small, shrunk), (Seed{189.5, 120, false}));

    expectRect(QuickPanelGeometry::frame(plain({0, 0, 1000, 700}, {0, 0, 1000, 675}, 1.5)), 290, 674 + 2.0 / 3 - 310,
               420, 310);

    // Touching housing areas still lower the top but give no notch.
    const Display touching{{0, 0, 1512, 982},       {0, 0, 1512, 982},         37,
                           QRectF(0, 945, 756, 37), QRectF(756, 945, 756, 37), 2};
    EXPECT_FALSE(QuickPanelGeometry::notch(touching));
    expectRect(QuickPanelGeometry::frame(touching), 546, 635, 420, 310);

    // No usable area: nothing to show.
    EXPECT_TRUE(QuickPanelGeometry::frame(plain({0, 0, 800, 600}, {900, 0, 100, 100})).isNull());
    EXPECT_TRUE(QuickPanelGeometry::frame(plain({0, 0, 800, 600}, {0, 0, 800, 0})).isNull());
}

TEST(QuickPanelGeometry, FindsTheScreenUnderThePointerOnTheDesktop)
{
    const QList<Display> displays{plain({0, 0, 1920, 1080}, {0, 0, 1920, 1056}),
                                  plain({1920, 0, 1280, 1024}, {1920, 0, 1280, 1024})};
    EXPECT_EQ(QuickPanelGeometry::displayIndex({1920, 10}, displays, 0), 1);
    EXPECT_EQ(QuickPanelGeometry::displayIndex({3200, 10}, displays, 0), 0) << "maximum edges lie outside";
    EXPECT_EQ(QuickPanelGeometry::displayIndex({-5, 10}, displays, -1), std::nullopt);
    EXPECT_EQ(QuickPanelGeometry::displayIndex({-5, 10}, displays, 2), std::nullopt);

    // A 1920 × 1080 primary screen under a 24-pixel top panel: the panel sits right below it.
    const QRectF primary(0, 0, 1920, 1080);
    const Display screen = QuickPanelGeometry::fromScreen(primary, QRectF(0, 24, 1920, 1056), 1, primary);
    const QRectF placed = QuickPanelGeometry::toScreen(QuickPanelGeometry::frame(screen), primary);
    EXPECT_EQ(placed.topLeft(), QPointF(750, 24));
    // The pointer on the screen's top row is on that screen.
    const QList<Display> desktop{screen};
    EXPECT_EQ(
        QuickPanelGeometry::displayIndex(QuickPanelGeometry::pointerFromScreen({5, 0}, primary), desktop, std::nullopt),
        0);
    EXPECT_EQ(QuickPanelGeometry::displayIndex(QuickPanelGeometry::pointerFromScreen({5, 1079}, primary), desktop,
                                               std::nullopt),
              0);
}

TEST(QuickPanelMotion, GrowsOutOfItsStripAndOnlyFadesWithReducedMotion)
{
    using Silhouette = QuickPanelMotion::Silhouette;
    const QSizeF size(420, 310);
    EXPECT_EQ(QuickPanelMotion::silhouette(size, 1, 1, false, {210, 120, false}),
              (Silhouette{0, 0, 420, 310, 16, 16, 0, 1, 1}));
    EXPECT_EQ(QuickPanelMotion::silhouette(size, 0, 0, false, {210, 120, false}),
              (Silhouette{150, 0, 120, 0, 0, 0, 0, 0, 0}));
    // Attached to a housing, the unrevealed surface is shaded black.
    EXPECT_EQ(QuickPanelMotion::silhouette(size, 1, 0, false, {210, 188, true}),
              (Silhouette{0, 0, 420, 310, 16, 16, 1, 0, 1}));
    // A strip wider than the panel is cut to it; a centre near an edge moves it inward.
    EXPECT_EQ(QuickPanelMotion::silhouette({100, 80}, 0, 0, false, {20, 120, false}).width, 100);
    EXPECT_EQ(QuickPanelMotion::silhouette(size, 0, 0, false, {20, 120, false}).x, 0);
    EXPECT_EQ(QuickPanelMotion::silhouette(size, 0, 0, false, {415, 120, false}).x, 300);
    EXPECT_EQ(QuickPanelMotion::silhouette(size, 0, 0, true, {210, 120, false}),
              (Silhouette{0, 0, 420, 310, 16, 16, 0, 1, 0}));
    EXPECT_EQ(QuickPanelMotion::silhouette(size, 0, 1, true, {210, 120, false}).surfaceOpacity, 1);

    // The critically damped spring: starts at rest, rises without overshoot.
    EXPECT_EQ(QuickPanelMotion::spring(0), 0);
    EXPECT_NEAR(QuickPanelMotion::spring(0.28), 1 - (1 + 2 * M_PI) * std::exp(-2 * M_PI), 1e-12);
    for (qreal t = 0.01; t < 1; t += 0.01)
        EXPECT_LT(QuickPanelMotion::spring(t - 0.01), QuickPanelMotion::spring(t));
    EXPECT_LT(QuickPanelMotion::spring(5), 1 + 1e-12);
}
