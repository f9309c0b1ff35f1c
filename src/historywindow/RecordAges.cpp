#include "RecordAges.h"

#include "HistoryTimestamp.h"

namespace tavlin {

RecordAges::RecordAges(QObject* parent) : QObject(parent)
{
    timer_.setSingleShot(true);
    // Exact: a timer allowed to come early would find nothing changed and wake again.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &RecordAges::due);
}

namespace {

// Ages turning within this of the first to turn (records copied in a burst) are repainted
// together, at the last of them: one wake-up rather than one each, and none shown early.
constexpr qint64 together = 250;

} // namespace

void RecordAges::drawn(qint64 id, const QDateTime& createdAt, const QDateTime& now)
{
    const QDateTime change = HistoryTimestamp::nextChange(createdAt, now);
    if (!change.isValid())
        return;
    changes_.insert(id, {createdAt, HistoryTimestamp::relative(createdAt, now), change});
    if (!wake_.isValid() || change < wake_.addMSecs(together))
        arm();
}

void RecordAges::arm()
{
    QDateTime first;
    for (const Drawn& drawn : std::as_const(changes_)) {
        if (!first.isValid() || drawn.change < first)
            first = drawn.change;
    }
    wake_ = first;
    if (!first.isValid()) {
        timer_.stop();
        return;
    }
    const QDateTime last = first.addMSecs(together);
    for (const Drawn& drawn : std::as_const(changes_)) {
        if (drawn.change > wake_ && drawn.change <= last)
            wake_ = drawn.change;
    }
    timer_.start(std::chrono::milliseconds(qMax<qint64>(0, QDateTime::currentDateTimeUtc().msecsTo(wake_))));
}

void RecordAges::due()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<std::pair<qint64, Drawn>> changed;
    for (auto drawn = changes_.begin(); drawn != changes_.end();) {
        if (drawn->change <= now) {
            changed.append({drawn.key(), *drawn});
            drawn = changes_.erase(drawn);
        } else {
            ++drawn;
        }
    }
    // Drawn again, each of them tells its next change.
    arm();
    for (const auto& [id, drawn] : std::as_const(changed))
        Q_EMIT this->changed(id, drawn.shown, HistoryTimestamp::relative(drawn.createdAt, now));
}

} // namespace tavlin
