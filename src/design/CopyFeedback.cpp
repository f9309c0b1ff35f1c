#include "CopyFeedback.h"

#include <QTimer>

namespace tavlin {

CopyFeedback::CopyFeedback(Schedule schedule, QObject* parent)
    : QObject(parent)
    , m_schedule(std::move(schedule))
{
}

void CopyFeedback::afterDelay(std::chrono::milliseconds delay, Action action)
{
    // Precise: a coarse timer may fire 5 % early, cutting the confirmation short. The action
    // guards whatever it touches.
    QTimer::singleShot(delay, Qt::PreciseTimer, std::move(action));
}

QCoro::Task<bool> CopyFeedback::perform(Clip clip, CopyStep copy)
{
    QPointer<CopyFeedback> self(this);
    const qint64 token = ++m_request;
    const bool ok = co_await copy(clip);
    // Gone, or overtaken by a newer copy: that one decides.
    if (!self || m_request != token)
        co_return ok;
    if (ok) {
        const int generation = ++m_generation;
        setConfirmation(Confirmation{clip.id, generation});
        m_schedule(confirmationDuration, [self, generation] {
            if (self && self->m_generation == generation)
                self->setConfirmation(std::nullopt);
        });
    } else if (isConfirmed(clip.id)) {
        setConfirmation(std::nullopt);
    }
    co_return ok;
}

void CopyFeedback::setConfirmation(std::optional<Confirmation> confirmation)
{
    if (confirmation == m_confirmation)
        return;
    m_confirmation = confirmation;
    Q_EMIT confirmationChanged();
}

} // namespace tavlin
