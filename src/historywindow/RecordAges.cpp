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

void RecordAges::drawn(qint64 id, const QDateTime& createdAt, const QDateTime& now)
{
    const QDateTime change = HistoryTimestamp::nextChange(createdAt, now);
    if (!change.isValid())
        return;
    changes_.insert(id, change);
    if (!wake_.isValid() || change < wake_)
        arm();
}

void RecordAges::arm()
{
    wake_ = {};
    for (const QDateTime& change : std::as_const(changes_)) {
        if (!wake_.isValid() || change < wake_)
            wake_ = change;
    }
    if (!wake_.isValid()) {
        timer_.stop();
        return;
    }
    timer_.start(std::chrono::milliseconds(qMax<qint64>(0, QDateTime::currentDateTimeUtc().msecsTo(wake_))));
}

void RecordAges::due()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<qint64> ids;
    for (auto change = changes_.begin(); change != changes_.end();) {
        if (*change <= now) {
            ids.append(change.key());
            change = changes_.erase(change);
        } else {
            ++change;
        }
    }
    // Drawn again, each of them tells its next change.
    arm();
    if (!ids.isEmpty())
        Q_EMIT changed(ids);
}

} // namespace tavlin
