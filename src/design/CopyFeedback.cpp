#include "CopyFeedback.h"

#include "Publish.h"

#include <QTimer>

namespace tavlin {

CopyFeedback::CopyFeedback(Schedule schedule, QObject* parent) : QObject(parent), schedule_(std::move(schedule))
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
    const qint64 token = ++request_;
    const bool ok = co_await copy(clip);
    // Gone, or overtaken by a newer copy: that one decides.
    if (!self || request_ != token)
        co_return ok;
    if (ok) {
        const int generation = ++generation_;
        setConfirmation(Confirmation{clip.id, generation});
        schedule_(confirmationDuration, [self, generation] {
            if (self && self->generation_ == generation)
                self->setConfirmation(std::nullopt);
        });
    } else if (isConfirmed(clip.id)) {
        setConfirmation(std::nullopt);
    }
    co_return ok;
}

void CopyFeedback::setConfirmation(std::optional<Confirmation> confirmation)
{
    publish(this, confirmation_, confirmation, &CopyFeedback::confirmationChanged);
}

} // namespace tavlin
