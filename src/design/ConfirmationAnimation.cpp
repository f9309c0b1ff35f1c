#include "ConfirmationAnimation.h"

#include "ThemeAppearance.h"

namespace tavlin {

ConfirmationAnimation::ConfirmationAnimation(CopyFeedback* feedback, qint64 clipID, QWidget* owner)
    : QObject(owner), feedback_(feedback), clipID_(clipID), owner_(owner)
{
    animation_.setDuration(durationMilliseconds);
    animation_.setEasingCurve(QEasingCurve::OutCubic);
    animation_.setStartValue(0.0);
    animation_.setEndValue(1.0);
    connect(&animation_, &QVariantAnimation::valueChanged, this, &ConfirmationAnimation::changed);
    if (feedback)
        connect(feedback, &CopyFeedback::confirmationChanged, this, &ConfirmationAnimation::follow);
    if (isConfirmed()) {
        generation_ = feedback_->confirmation()->generation;
        animation_.setCurrentTime(durationMilliseconds);
    }
}

bool ConfirmationAnimation::isConfirmed() const
{
    return feedback_ && feedback_->isConfirmed(clipID_);
}

qreal ConfirmationAnimation::progress() const
{
    return animation_.currentValue().toReal();
}

void ConfirmationAnimation::follow()
{
    const std::optional<int> generation = isConfirmed() ? std::optional(feedback_->confirmation()->generation)
                                                        : std::nullopt;
    if (generation == generation_)
        return;
    const bool restart = generation && generation_;
    generation_ = generation;
    animation_.stop();
    if (ThemeAppearance::reduceMotion(owner_)) {
        animation_.setCurrentTime(generation ? durationMilliseconds : 0);
        Q_EMIT changed();
        return;
    }
    if (restart)
        animation_.setCurrentTime(0);
    animation_.setDirection(generation ? QAbstractAnimation::Forward : QAbstractAnimation::Backward);
    animation_.start();
    Q_EMIT changed();
}

} // namespace tavlin
