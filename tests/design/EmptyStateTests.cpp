#include "DesignTestSupport.h"

#include "HistoryEmptyView.h"
#include "ThemedWindow.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace tavlin {
namespace {

using Kind = HistoryEmptyView::Kind;

TEST(HistoryEmptyView, OnlyAnEmptySearchOffersToResetTheFilters)
{
    test::ThemedWindow window;
    int resets = 0;
    auto* view = window.hold(new HistoryEmptyView(Kind::history, [&] { ++resets; }), QSize(600, 420));
    auto* reset = view->findChild<QAbstractButton*>(QStringLiteral("reset-filters"));
    ASSERT_TRUE(reset);
    EXPECT_FALSE(reset->isVisible());
    view->setKind(Kind::favorites);
    EXPECT_FALSE(reset->isVisible());
    view->setKind(Kind::search);
    EXPECT_TRUE(reset->isVisible());
    EXPECT_EQ(reset->text(), QStringLiteral("Reset Filters"));
    QTest::mouseClick(reset, Qt::LeftButton);
    EXPECT_EQ(resets, 1);
}

TEST(HistoryEmptyView, TitleFollowsTheKind)
{
    test::ThemedWindow window;
    auto* view = window.hold(new HistoryEmptyView(Kind::favorites, {}), QSize(600, 420));
    const auto title = [&] { return view->findChildren<QLabel*>().first()->text(); };
    EXPECT_EQ(title(), QStringLiteral("No favorites yet"));
    view->setKind(Kind::search);
    EXPECT_EQ(title(), QStringLiteral("Nothing turned up"));
    EXPECT_TRUE(HistoryEmptyView::message(Kind::history).contains(u'\n'));
}

} // namespace
} // namespace tavlin
