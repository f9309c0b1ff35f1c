// The waits an object's coroutines make run their course, or end at once when the object ends
// them, so that no coroutine outlives its object suspended.
#include "CoroutineWaits.h"
#include "ExpectSoon.h"

#include <qcoro/qcorotask.h>

#include <gtest/gtest.h>

#include <memory>

using namespace tavlin;
using namespace std::chrono_literals;

namespace {

class Sender : public QObject {
    Q_OBJECT
Q_SIGNALS:
    void done();
};

QCoro::Task<bool> sleeping(CoroutineWaits& waits)
{
    const bool ranItsCourse = co_await waits.sleep(50ms);
    co_return ranItsCourse;
}

// Deletes the sender once its signal came, as a download's owner does.
QCoro::Task<bool> awaitingSignal(CoroutineWaits& waits, Sender* sender)
{
    const bool ranItsCourse = co_await waits.signal(sender, &Sender::done);
    delete sender;
    co_return ranItsCourse;
}

TEST(CoroutineWaits, ASleepOrASignalRunsItsCourseAndResumesOutOfTheEmission)
{
    CoroutineWaits waits;
    QCoro::Task<bool> asleep = sleeping(waits);
    EXPECT_FALSE(asleep.isReady());
    EXPECT_SOON(asleep.isReady(), 10000);
    EXPECT_TRUE(QCoro::waitFor(asleep));

    auto* sender = new Sender;
    QCoro::Task<bool> signalled = awaitingSignal(waits, sender);
    Q_EMIT sender->done();
    EXPECT_FALSE(signalled.isReady()) << "resumed inside the emission, where deleting the sender is unsafe";
    EXPECT_SOON(signalled.isReady(), 10000);
    EXPECT_TRUE(QCoro::waitFor(signalled));
}

TEST(CoroutineWaits, EndingResumesEveryWaitAtOnceAndLaterWaitsDoNotSuspend)
{
    auto waits = std::make_unique<CoroutineWaits>();
    QCoro::Task<bool> first = sleeping(*waits);
    QCoro::Task<bool> second = awaitingSignal(*waits, new Sender);
    waits->end();
    ASSERT_TRUE(first.isReady());
    ASSERT_TRUE(second.isReady());
    EXPECT_FALSE(QCoro::waitFor(first));
    EXPECT_FALSE(QCoro::waitFor(second));
    QCoro::Task<bool> later = sleeping(*waits);
    ASSERT_TRUE(later.isReady());
    EXPECT_FALSE(QCoro::waitFor(later));

    // Going ends them as well, and the timers they waited for go with them.
    waits = std::make_unique<CoroutineWaits>();
    QCoro::Task<bool> orphan = sleeping(*waits);
    waits.reset();
    ASSERT_TRUE(orphan.isReady());
    EXPECT_FALSE(QCoro::waitFor(orphan));
}

} // namespace

#include "CoroutineWaitsTests.moc"
