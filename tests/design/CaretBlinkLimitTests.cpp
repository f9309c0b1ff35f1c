#include "CaretBlinkLimit.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTest>

#include <gtest/gtest.h>

namespace tavlin {
namespace {

// Counts the field's repaints: each blink is one.
struct PaintCount : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// Whether the field repaints within a few blink periods.
bool blinks(QLineEdit& /*field*/, PaintCount& count)
{
    const int before = count.paints;
    QTest::qWait(4 * QGuiApplication::styleHints()->cursorFlashTime());
    return count.paints > before;
}

TEST(CaretBlinkLimit, TheCaretStopsBlinkingWhenIdleAndBlinksAgainOnAKeyPress)
{
    QStyleHints* hints = QGuiApplication::styleHints();
    const int desktopPeriod = hints->cursorFlashTime();
    hints->setCursorFlashTime(200);
    QLineEdit field;
    new CaretBlinkLimit(&field, 600);
    PaintCount count;
    field.installEventFilter(&count);
    field.show();
    QApplication::setActiveWindow(&field);
    field.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&field));
    EXPECT_TRUE(blinks(field, count));

    EXPECT_TRUE(QTest::qWaitFor([&] { return !blinks(field, count); }, 10000));
    EXPECT_FALSE(blinks(field, count)); // and it stays still
    EXPECT_EQ(hints->cursorFlashTime(), 0);

    QTest::keyClick(&field, Qt::Key_A);
    EXPECT_EQ(hints->cursorFlashTime(), 200);
    EXPECT_TRUE(blinks(field, count));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !blinks(field, count); }, 10000));

    // Leaving the field gives the desktop its period back.
    field.clearFocus();
    EXPECT_EQ(hints->cursorFlashTime(), 200);
    hints->setCursorFlashTime(desktopPeriod);
}

} // namespace
} // namespace tavlin
