// The Quick Panel before it shows and on a small screen: a close while its first page loads
// cancels the opening, and a panel smaller than its design shows its content shrunk.
#include "QuickPanel.h"
#include "QuickPanelFixture.h"
#include "QuickPanelView.h"

#include <QAbstractButton>
#include <QScreen>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;
using Reason = QuickPanelCoordinator::HideReason;

TEST(QuickPanelCoordinator, ACloseWhileTheFirstPageLoadsCancelsTheOpening)
{
    PanelFixture fixture({QStringLiteral("alpha")});
    QWidget other;
    other.resize(200, 100);
    const auto opens = [&](const std::function<void()>& meanwhile) {
        fixture.coordinator->show();
        EXPECT_TRUE(fixture.coordinator->isBusy()) << "waiting for the first page";
        meanwhile();
        EXPECT_TRUE(waitFor([&] { return !fixture.coordinator->isBusy(); }));
        const bool shown = fixture.coordinator->isPresented() && fixture.coordinator->panel()->isVisible();
        fixture.coordinator->hide(Reason::cancel);
        EXPECT_TRUE(waitFor([&] { return !fixture.coordinator->isBusy(); }));
        return shown;
    };
    // Settings or the introduction opening, or the application losing the keyboard.
    EXPECT_FALSE(opens([&] { fixture.coordinator->hide(Reason::deactivated); }));
    EXPECT_FALSE(opens([&] { fixture.presses.press(); })) << "a press on another application";
    EXPECT_FALSE(opens([&] { QTest::mouseClick(&other, Qt::LeftButton); })) << "a press on a window of ours";
    EXPECT_FALSE(opens([&] { Q_EMIT QGuiApplication::primaryScreen()->availableGeometryChanged({0, 0, 800, 600}); }));
    EXPECT_TRUE(opens([] {}));

    // Settings opening while Qt still calls the application active, with the keyboard elsewhere.
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(opens([&] { fixture.coordinator->hide(Reason::deactivated); }));
}

TEST(QuickPanel, SmallerThanItsDesignItShowsItsContentShrunkAboutTheTopCentre)
{
    PanelFixture fixture({QStringLiteral("alpha")});
    fixture.open(1);
    QuickPanel* panel = fixture.coordinator->panel();
    const QSize full = panel->size();
    const QImage whole = panel->grab().toImage();
    // A screen whose free area is 336 wide: four fifths of the design.
    panel->resize(336, 248);
    EXPECT_DOUBLE_EQ(panel->contentScale(), 0.8);
    QWidget* content = fixture.find("quick-panel-content");
    EXPECT_EQ(content->size(), QuickPanel::designSize) << "laid out at its design size";
    EXPECT_EQ(content->geometry().center().x(), panel->rect().center().x());

    // Drawn shrunk: the star's place in the full panel, scaled about the top centre.
    auto* star = fixture.find<QAbstractButton>("quick-panel-favorites");
    const QPointF starCentre = QRectF(star->mapTo(content, QPointF(0, 0)), QSizeF(star->size())).center();
    const QPointF shown((starCentre.x() - full.width() / 2.0) * 0.8 + panel->width() / 2.0, starCentre.y() * 0.8);
    QTest::qWait(50);
    const QImage small = panel->grab().toImage();
    EXPECT_EQ(small.size(), QSize(336, 248));
    const QColor surface = whole.pixelColor(full.width() / 2, 2);
    EXPECT_EQ(small.pixelColor(small.width() / 2, 2), surface) << "the surface still reaches the top";

    // A click lands on what it is seen on.
    const bool before = fixture.state().favoritesOnly();
    QTest::mouseClick(panel->windowHandle(), Qt::LeftButton, {}, shown.toPoint());
    EXPECT_NE(fixture.state().favoritesOnly(), before);
}
