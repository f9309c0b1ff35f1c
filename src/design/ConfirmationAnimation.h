#pragma once

#include "CopyFeedback.h"

#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

namespace tavlin {

// How far one record's copy confirmation has appeared (0 gone, 1 fully shown), eased over
// 0.18 s, at once under reduced motion. A new confirmation of the same record starts over, as it
// replaces the old one. Drives the confirmation views of one record; the owner repaints on
// `changed`.
class ConfirmationAnimation : public QObject {
    Q_OBJECT
public:
    ConfirmationAnimation(CopyFeedback* feedback, qint64 clipID, QWidget* owner);

    qint64 clipID() const { return clipID_; }
    bool isConfirmed() const;
    qreal progress() const;
    // Visible at all: confirmed, or still fading out.
    bool isShowing() const { return isConfirmed() || progress() > 0; }

    static constexpr int durationMilliseconds = 180;

Q_SIGNALS:
    void changed();

private:
    void follow();

    QPointer<CopyFeedback> feedback_;
    qint64 clipID_;
    QWidget* owner_;
    std::optional<int> generation_;
    QVariantAnimation animation_;
};

} // namespace tavlin
