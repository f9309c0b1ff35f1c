#include "ConfirmationAnimation.h"

#include "ThemeAppearance.h"

#include <QVariantAnimation>

namespace tavlin {

namespace {

// The desktop's usual ease-out: quick at first, settling gently.
QEasingCurve easeOut()
{
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0, 0), QPointF(0.58, 1), QPointF(1, 1));
    return curve;
}

} // namespace

ConfirmationAnimation::ConfirmationAnimation(CopyFeedback* feedback, QWidget* owner)
    : QObject(owner), feedback_(feedback), owner_(owner)
{
    if (!feedback)
        return;
    connect(feedback, &CopyFeedback::confirmationChanged, this, &ConfirmationAnimation::follow);
    // A view made while a record is confirmed shows it at once.
    shown_ = feedback->confirmation();
}

ConfirmationAnimation::State ConfirmationAnimation::state(qint64 clipID) const
{
    const bool confirmed = shown_ && shown_->clipID == clipID;
    const auto running = running_.constFind(clipID);
    if (running == running_.cend())
        return {confirmed, confirmed ? 1.0 : 0.0};
    return {confirmed, (*running)->currentValue().toReal()};
}

void ConfirmationAnimation::follow()
{
    const std::optional<CopyFeedback::Confirmation> confirmation = feedback_ ? feedback_->confirmation() : std::nullopt;
    if (confirmation == shown_)
        return;
    // Each record goes on from where it stands now.
    const qreal leaving = shown_ ? state(shown_->clipID).progress : 0;
    const qreal arriving = confirmation ? state(confirmation->clipID).progress : 0;
    const std::optional<CopyFeedback::Confirmation> old = std::exchange(shown_, confirmation);
    if (old && (!confirmation || confirmation->clipID != old->clipID))
        animate(old->clipID, leaving, 0);
    if (confirmation) {
        const bool again = old && old->clipID == confirmation->clipID;
        animate(confirmation->clipID, again ? 0 : arriving, 1);
    }
}

void ConfirmationAnimation::animate(qint64 clipID, qreal from, qreal to)
{
    delete running_.take(clipID);
    if (!ThemeAppearance::reduceMotion(owner_)) {
        auto* animation = new QVariantAnimation(this);
        animation->setDuration(durationMilliseconds);
        animation->setEasingCurve(easeOut());
        animation->setStartValue(from);
        animation->setEndValue(to);
        connect(animation, &QVariantAnimation::valueChanged, this, [this, clipID] { Q_EMIT changed(clipID); });
        connect(animation, &QAbstractAnimation::finished, this, [this, clipID, animation] {
            if (running_.value(clipID) != animation)
                return;
            running_.remove(clipID);
            animation->deleteLater();
            Q_EMIT changed(clipID);
        });
        running_.insert(clipID, animation);
        animation->start();
    }
    Q_EMIT changed(clipID);
}

} // namespace tavlin
