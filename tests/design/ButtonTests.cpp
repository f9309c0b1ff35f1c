#include "DesignTestSupport.h"

#include "ButtonLook.h"
#include "CopyActionButton.h"
#include "TavlinTheme.h"
#include "ThemedWindow.h"

#include <QTest>

#include <gtest/gtest.h>

namespace tavlin {
namespace {

using Kind = TavlinButtonStyle::Kind;

TEST(TavlinButtonStyle, FocusAndDisablingNeverMoveTheButton)
{
    test::ThemedWindow window;
    auto* button = window.hold(ButtonLook::action({Kind::primary, 34}, QStringLiteral("Continue")));
    const QRect before = button->geometry();
    button->setFocus(Qt::TabFocusReason);
    button->setEnabled(false);
    test::ThemedWindow::settle();
    EXPECT_EQ(button->geometry(), before);
}

TEST(TavlinButtonStyle, OnlyTheCapsuleTakesClicks)
{
    test::ThemedWindow window;
    auto* button = window.hold(ButtonLook::action({Kind::secondary, 34}, QStringLiteral("Continue")));
    int clicks = 0;
    QObject::connect(button, &QAbstractButton::clicked, [&] { ++clicks; });
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    EXPECT_EQ(clicks, 1);
}

TEST(TavlinButtonStyle, ASegmentsSelectionFadesUnlessMotionIsReduced)
{
    test::ThemedWindow window;
    auto* segment = window.hold(
        ButtonLook::push(ButtonLook::withKind(ButtonLook::Kind::segment), QStringLiteral("Dark")));
    segment->setCheckable(true);
    const QPoint inside(segment->width() / 2, 3);
    const auto fill = [&] { return segment->grab().toImage().pixelColor(inside); };
    // With motion reduced the selection shows and goes at once: the ends of the fade.
    window.system.setReduceMotion(true);
    const QColor clear = fill();
    segment->setChecked(true);
    const QColor selected = fill();
    EXPECT_NE(selected, clear);
    segment->setChecked(false);
    EXPECT_EQ(fill(), clear);

    window.system.setReduceMotion(false);
    segment->setChecked(true);
    EXPECT_NE(fill(), selected) << "not there at once";
    EXPECT_TRUE(QTest::qWaitFor([&] { return fill() == selected; }, 10000));
    segment->setChecked(false);
    EXPECT_NE(fill(), clear);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fill() == clear; }, 10000));
}

TEST(CopyActionButton, KeepsItsSizeInBothForms)
{
    test::ThemedWindow window;
    auto* button = window.hold(new CopyActionButton(false, {}));
    const QSize size = button->size();
    button->setCopied(true);
    EXPECT_EQ(button->text(), QStringLiteral("Copied"));
    EXPECT_EQ(button->size(), size);
}

TEST(CopyActionButton, ControlCCopiesInEitherForm)
{
    test::ThemedWindow window;
    int copies = 0;
    auto* button = window.hold(new CopyActionButton(false, [&] { ++copies; }));
    window.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window.window));
    QTest::keyClick(&window.window, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return copies == 1; }, 10000));
    button->setCopied(true);
    QTest::keyClick(&window.window, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return copies == 2; }, 10000));
}

} // namespace
} // namespace tavlin
