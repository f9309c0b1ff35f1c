#include "CopyFeedback.h"
#include "DesignTestSupport.h"

#include <QSignalSpy>
#include <QTest>

#include <qcoro/qcorosignal.h>

#include <gtest/gtest.h>

namespace tavlin {
namespace {

using namespace std::chrono_literals;

Clip clip(qint64 id)
{
    Clip record;
    record.id = id;
    record.text = QStringLiteral("record %1").arg(id);
    return record;
}

// A schedule that keeps the delayed actions for the test to run.
struct ManualSchedule {
    struct Entry {
        std::chrono::milliseconds delay;
        CopyFeedback::Action action;
    };
    std::shared_ptr<std::vector<Entry>> entries = std::make_shared<std::vector<Entry>>();

    CopyFeedback::Schedule schedule() const
    {
        return [entries = entries](std::chrono::milliseconds delay, CopyFeedback::Action action) {
            entries->push_back({delay, std::move(action)});
        };
    }
    void run(size_t index) const { entries->at(index).action(); }
};

CopyFeedback::CopyStep succeeding()
{
    return [](const Clip&) -> QCoro::Task<bool> { co_return true; };
}

CopyFeedback::CopyStep failing()
{
    return [](const Clip&) -> QCoro::Task<bool> { co_return false; };
}

// A copy that finishes when the test says so.
class PendingCopy : public QObject {
    Q_OBJECT
public:
    CopyFeedback::CopyStep step()
    {
        return [this](const Clip&) -> QCoro::Task<bool> { co_return co_await qCoro(this, &PendingCopy::finished); };
    }
    void finish(bool ok) { Q_EMIT finished(ok); }
Q_SIGNALS:
    void finished(bool ok);
};

TEST(CopyFeedback, TheLatestSuccessfulCopyConfirmsForHalfASecond)
{
    ManualSchedule timer;
    CopyFeedback feedback(timer.schedule());
    QSignalSpy changes(&feedback, &CopyFeedback::confirmationChanged);
    EXPECT_TRUE(QCoro::waitFor(feedback.perform(clip(7), succeeding())));
    EXPECT_EQ(feedback.confirmation(), (CopyFeedback::Confirmation{7, 1}));
    ASSERT_EQ(timer.entries->size(), 1u);
    EXPECT_EQ(timer.entries->at(0).delay, 500ms);

    // Copying again restarts it: the first copy's clear comes too early for the second.
    QCoro::waitFor(feedback.perform(clip(7), succeeding()));
    EXPECT_EQ(feedback.confirmation(), (CopyFeedback::Confirmation{7, 2}));
    timer.run(0);
    EXPECT_TRUE(feedback.isConfirmed(7));
    // Another record takes over at once.
    QCoro::waitFor(feedback.perform(clip(8), succeeding()));
    EXPECT_FALSE(feedback.isConfirmed(7));
    timer.run(1);
    EXPECT_TRUE(feedback.isConfirmed(8));
    timer.run(2);
    EXPECT_FALSE(feedback.confirmation());
    EXPECT_EQ(changes.count(), 4);
}

TEST(CopyFeedback, OnlyTheLatestCopyInFlightDecides)
{
    ManualSchedule timer;
    CopyFeedback feedback(timer.schedule());
    PendingCopy first;
    PendingCopy second;
    QCoro::Task<bool> a = feedback.perform(clip(1), first.step());
    QCoro::Task<bool> b = feedback.perform(clip(2), second.step());
    first.finish(true);
    EXPECT_TRUE(QCoro::waitFor(a));
    EXPECT_FALSE(feedback.confirmation());
    EXPECT_TRUE(timer.entries->empty());
    second.finish(true);
    EXPECT_TRUE(QCoro::waitFor(b));
    EXPECT_TRUE(feedback.isConfirmed(2));

    // An overtaken copy that fails never clears the newer confirmation.
    PendingCopy slow;
    QCoro::Task<bool> c = feedback.perform(clip(2), slow.step());
    QCoro::waitFor(feedback.perform(clip(2), succeeding()));
    slow.finish(false);
    EXPECT_FALSE(QCoro::waitFor(c));
    EXPECT_TRUE(feedback.isConfirmed(2));
}

TEST(CopyFeedback, AFailedCopyRemovesOnlyItsOwnRecordsConfirmation)
{
    ManualSchedule timer;
    CopyFeedback feedback(timer.schedule());
    QCoro::waitFor(feedback.perform(clip(1), succeeding()));
    EXPECT_FALSE(QCoro::waitFor(feedback.perform(clip(2), failing())));
    EXPECT_TRUE(feedback.isConfirmed(1));
    EXPECT_FALSE(QCoro::waitFor(feedback.perform(clip(1), failing())));
    EXPECT_FALSE(feedback.confirmation());
    EXPECT_EQ(timer.entries->size(), 1u) << "failures schedule nothing";
}

// A clear or a copy that arrives after the feedback is gone must not touch it.
TEST(CopyFeedback, WorkThatOutlivesTheFeedbackIsHarmless)
{
    ManualSchedule timer;
    auto feedback = std::make_unique<CopyFeedback>(timer.schedule());
    QCoro::waitFor(feedback->perform(clip(1), succeeding()));
    PendingCopy slow;
    QCoro::Task<bool> task = feedback->perform(clip(2), slow.step());
    feedback.reset();
    timer.run(0);
    slow.finish(true);
    EXPECT_TRUE(QCoro::waitFor(task));
}

TEST(CopyFeedback, TheDefaultScheduleClearsOnTheEventLoop)
{
    CopyFeedback feedback;
    QCoro::waitFor(feedback.perform(clip(3), succeeding()));
    EXPECT_TRUE(feedback.isConfirmed(3));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !feedback.confirmation(); }, 10000));
}

} // namespace
} // namespace tavlin

#include "CopyFeedbackTests.moc"
