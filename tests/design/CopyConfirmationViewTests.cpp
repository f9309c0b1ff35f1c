#include "DesignTestSupport.h"

#include "CopyConfirmationBadge.h"
#include "CopyConfirmationEdge.h"
#include "CopyConfirmationFill.h"
#include "CopyConfirmationOverlay.h"
#include "CopyConfirmationReplaced.h"
#include "CopyFeedback.h"
#include "SystemFont.h"
#include "ThemedWindow.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
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

// A history row as the list shows it: text, and a timestamp that the badge replaces.
struct Row {
    QWidget* widget;
    CopyConfirmationOverlay* fill;
    CopyConfirmationOverlay* edge;
    CopyConfirmationBadge* badge;
    CopyConfirmationReplaced* timestamp;
};

Row makeRow(CopyFeedback& feedback, qint64 id, const QString& text)
{
    auto* row = new QWidget;
    row->setFixedSize(420, 44);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(20, 0, 20, 0);
    auto* label = new QLabel(text, row);
    label->setFont(SystemFont::regular(13));
    layout->addWidget(label, 1);
    auto* time = new QLabel(QStringLiteral("5 min"), row);
    auto* timestamp = new CopyConfirmationReplaced(&feedback, id, time, row);
    auto* badge = new CopyConfirmationBadge(&feedback, id, row);
    // The badge sits over the timestamp's place, aligned to its trailing edge.
    auto* trailing = new QWidget(row);
    auto* stack = new QGridLayout(trailing);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(timestamp, 0, 0, Qt::AlignRight | Qt::AlignVCenter);
    stack->addWidget(badge, 0, 0, Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(trailing);
    auto* fill = new CopyConfirmationFill(&feedback, id, CopyConfirmationShape::listRow, row);
    auto* edge = new CopyConfirmationEdge(&feedback, id, CopyConfirmationShape::listRow, row);
    for (QWidget* overlay : {static_cast<QWidget*>(fill), static_cast<QWidget*>(edge)}) {
        overlay->setGeometry(row->rect());
        overlay->raise();
    }
    fill->lower();
    return {row, fill, edge, badge, timestamp};
}

TEST(CopyConfirmationViews, OnlyTheCopiedRecordsRowConfirms)
{
    test::ThemedWindow window;
    window.system.setReduceMotion(true);
    CopyFeedback feedback([](auto, auto) {});
    auto* list = new QWidget;
    auto* column = new QVBoxLayout(list);
    const Row first = makeRow(feedback, 1, QStringLiteral("First"));
    const Row second = makeRow(feedback, 2, QStringLiteral("Second"));
    column->addWidget(first.widget);
    column->addWidget(second.widget);
    window.hold(list);

    QWidget* firstTime = first.timestamp->content();
    const QRect timeGeometry = firstTime->geometry();
    QCoro::waitFor(feedback.perform(clip(1), succeeding()));
    EXPECT_TRUE(first.fill->isShowing());
    EXPECT_TRUE(first.edge->isShowing());
    EXPECT_FALSE(second.fill->isShowing());
    auto* badge = window.window.findChild<QWidget*>(QStringLiteral("copy-confirmation-1"));
    ASSERT_TRUE(badge);
    EXPECT_TRUE(badge->isVisible());
    EXPECT_EQ(badge->accessibleName(), QStringLiteral("Copied"));
    EXPECT_FALSE(window.window.findChild<QWidget*>(QStringLiteral("copy-confirmation-2"))->isVisible());
    // The timestamp steps aside without moving anything.
    EXPECT_FALSE(firstTime->isVisible());
    EXPECT_EQ(firstTime->geometry(), timeGeometry);
    EXPECT_TRUE(second.timestamp->content()->isVisible());

    QCoro::waitFor(feedback.perform(clip(2), succeeding()));
    EXPECT_FALSE(first.fill->isShowing());
    EXPECT_FALSE(badge->isVisible());
    EXPECT_TRUE(firstTime->isVisible());
    EXPECT_TRUE(second.fill->isShowing());
}

TEST(CopyConfirmationViews, WithMotionTheConfirmationFadesOutWhenAnotherRecordIsCopied)
{
    test::ThemedWindow window(true);
    CopyFeedback feedback([](auto, auto) {});
    const Row row = makeRow(feedback, 7, QStringLiteral("Row"));
    window.hold(row.widget);
    QCoro::waitFor(feedback.perform(clip(7), succeeding()));
    EXPECT_TRUE(row.fill->isShowing());
    auto* badge = window.window.findChild<QWidget*>(QStringLiteral("copy-confirmation-7"));
    EXPECT_TRUE(badge->isVisible());
    QCoro::waitFor(feedback.perform(clip(8), succeeding()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !badge->isVisible(); }, 10000));
    EXPECT_FALSE(row.fill->isShowing());
}

} // namespace
} // namespace tavlin
