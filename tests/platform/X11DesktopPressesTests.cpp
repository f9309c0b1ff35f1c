// Presses anywhere on the desktop, read from a real X server (a private Xvfb) as the Quick Panel
// reads them between its opening and its closing, with presses made by xdotool.
#include "X11DesktopPresses.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace tavlin {
namespace {

void click()
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("click"), QStringLiteral("1")});
    ASSERT_TRUE(xdotool.waitForFinished(10000));
}

// A press that ends one watch (a click beside the Quick Panel) and was still unread when the
// watch ended is not reported by the next one, which would close the next panel as it opens; the
// next watch reports its own presses.
TEST(X11DesktopPressesTest, APressOfAnEarlierWatchIsNotReportedByTheNext)
{
    X11DesktopPresses presses;
    QSignalSpy reported(&presses, &DesktopPresses::pressed);
    ASSERT_TRUE(presses.start());
    click();
    // Without the event loop, nothing reads it; it has reached the socket meanwhile.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    presses.stop();
    QTest::qWait(100);
    ASSERT_TRUE(presses.start());
    QTest::qWait(300);
    EXPECT_EQ(reported.count(), 0) << "the earlier watch's press";

    click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return reported.count() == 1; }, 10000)) << "its own";
    presses.stop();
}

} // namespace
} // namespace tavlin
