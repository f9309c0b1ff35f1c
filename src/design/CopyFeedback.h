#pragma once

#include "Clip.h"

#include <QObject>
#include <QPointer>

#include <qcoro/qcorotask.h>

#include <chrono>
#include <functional>
#include <optional>

namespace tavlin {

// Runs the copy of a record back to the clipboard and decides whether and how long its row shows
// the confirmation: from the latest successful copy until 0.5 s later. Only the latest copy in
// flight may change the confirmation, so a slow earlier copy never confirms over a newer one.
// One per history window, main thread.
class CopyFeedback : public QObject {
    Q_OBJECT
public:
    struct Confirmation {
        qint64 clipID = 0;
        // Tells two confirmations of the same record apart (each restarts the flash).
        int generation = 0;
        bool operator==(const Confirmation&) const = default;
    };

    using Action = std::function<void()>;
    // Runs the action once after the delay.
    using Schedule = std::function<void(std::chrono::milliseconds, Action)>;
    // Copies the record; true when it reached the clipboard.
    using CopyStep = std::function<QCoro::Task<bool>(const Clip&)>;

    static constexpr std::chrono::milliseconds confirmationDuration{500};

    explicit CopyFeedback(Schedule schedule = &CopyFeedback::afterDelay, QObject* parent = nullptr);

    // The default schedule: runs the action on the main thread's event loop after the delay.
    static void afterDelay(std::chrono::milliseconds delay, Action action);

    const std::optional<Confirmation>& confirmation() const { return confirmation_; }
    bool isConfirmed(qint64 clipID) const { return confirmation_ && confirmation_->clipID == clipID; }

    // Copies the record with `copy` and returns its result.
    QCoro::Task<bool> perform(Clip clip, CopyStep copy);

Q_SIGNALS:
    void confirmationChanged();

private:
    void setConfirmation(std::optional<Confirmation> confirmation);

    std::optional<Confirmation> confirmation_;
    // Confirmations ever shown, and copies ever started.
    int generation_ = 0;
    qint64 request_ = 0;
    Schedule schedule_;
};

} // namespace tavlin
