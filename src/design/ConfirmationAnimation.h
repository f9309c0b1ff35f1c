#pragma once

#include "CopyFeedback.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

#include <optional>

class QVariantAnimation;

namespace tavlin {

// How far the copy confirmation of each record has appeared in one view of records (0 gone, 1
// fully shown): it comes and goes with an ease-out of 0.18 s, at once under reduced motion. A new
// confirmation of the same record starts over, as it replaces the old one; a confirmation that
// moves to another record fades out on the first while it fades in on the second. Only records in
// transit hold an animation, and none is left running once they arrive, so an idle view is never
// woken. The owner repaints the record named by `changed`.
class ConfirmationAnimation : public QObject {
    Q_OBJECT
public:
    struct State {
        // The record is the confirmed one (its timestamp gives way to the badge).
        bool confirmed = false;
        // How far the fill, the edge and the badge have appeared.
        qreal progress = 0;
        bool isShowing() const { return confirmed || progress > 0; }
        bool operator==(const State&) const = default;
    };

    ConfirmationAnimation(CopyFeedback* feedback, QWidget* owner);

    State state(qint64 clipID) const;
    // Some record is still on its way in or out.
    bool isAnimating() const { return !running_.isEmpty(); }

    static constexpr int durationMilliseconds = 180;

Q_SIGNALS:
    void changed(qint64 clipID);

private:
    void follow();
    void animate(qint64 clipID, qreal from, qreal to);

    QPointer<CopyFeedback> feedback_;
    QWidget* owner_;
    // The confirmation last followed.
    std::optional<CopyFeedback::Confirmation> shown_;
    QHash<qint64, QVariantAnimation*> running_;
};

} // namespace tavlin
