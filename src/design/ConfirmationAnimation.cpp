#include "ConfirmationAnimation.h"

#include "ThemeAppearance.h"

namespace tavlin {

ConfirmationAnimation::ConfirmationAnimation(CopyFeedback* feedback, qint64 clipID, QWidget* owner)
    : QObject(owner)
    , m_feedback(feedback)
    , m_clipID(clipID)
    , m_owner(owner)
{
    m_animation.setDuration(durationMilliseconds);
    m_animation.setEasingCurve(QEasingCurve::OutCubic);
    m_animation.setStartValue(0.0);
    m_animation.setEndValue(1.0);
    connect(&m_animation, &QVariantAnimation::valueChanged, this, &ConfirmationAnimation::changed);
    if (feedback)
        connect(feedback, &CopyFeedback::confirmationChanged, this, &ConfirmationAnimation::follow);
    if (isConfirmed()) {
        m_generation = m_feedback->confirmation()->generation;
        m_animation.setCurrentTime(durationMilliseconds);
    }
}

bool ConfirmationAnimation::isConfirmed() const
{
    return m_feedback && m_feedback->isConfirmed(m_clipID);
}

qreal ConfirmationAnimation::progress() const
{
    return m_animation.currentValue().toReal();
}

void ConfirmationAnimation::follow()
{
    const std::optional<int> generation
        = isConfirmed() ? std::optional(m_feedback->confirmation()->generation) : std::nullopt;
    if (generation == m_generation)
        return;
    const bool restart = generation && m_generation;
    m_generation = generation;
    m_animation.stop();
    if (ThemeAppearance::reduceMotion(m_owner)) {
        m_animation.setCurrentTime(generation ? durationMilliseconds : 0);
        Q_EMIT changed();
        return;
    }
    if (restart)
        m_animation.setCurrentTime(0);
    m_animation.setDirection(generation ? QAbstractAnimation::Forward : QAbstractAnimation::Backward);
    m_animation.start();
    Q_EMIT changed();
}

} // namespace tavlin
