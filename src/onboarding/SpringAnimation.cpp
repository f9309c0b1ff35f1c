#include "SpringAnimation.h"

#include <cmath>
#include <numbers>

namespace tavlin {

SpringAnimation::SpringAnimation(double response, double dampingFraction, QObject* parent)
    : QAbstractAnimation(parent), response_(response), dampingFraction_(dampingFraction)
{
}

void SpringAnimation::setRange(double from, double to)
{
    from_ = from;
    to_ = to;
    value_ = from;
}

double SpringAnimation::progress(double response, double dampingFraction, double seconds)
{
    if (seconds <= 0)
        return 0;
    const double omega = 2 * std::numbers::pi / std::max(response, 0.001);
    const double zeta = std::max(dampingFraction, 0.0);
    if (zeta >= 1) // critically damped (and beyond, treated alike)
        return 1 - std::exp(-omega * seconds) * (1 + omega * seconds);
    const double damped = omega * std::sqrt(1 - zeta * zeta);
    const double decay = std::exp(-zeta * omega * seconds);
    return 1 - decay * (std::cos(damped * seconds) + zeta * omega / damped * std::sin(damped * seconds));
}

int SpringAnimation::settlingMilliseconds(double response, double dampingFraction)
{
    const double omega = 2 * std::numbers::pi / std::max(response, 0.001);
    const double zeta = std::clamp(dampingFraction, 0.05, 1.0);
    // The envelope e^(-ζωt), with a margin for the critically damped term's (1 + ωt).
    return int(std::ceil(1000 * (std::log(1000.0) + (zeta >= 1 ? 3 : 0)) / (zeta * omega)));
}

int SpringAnimation::duration() const
{
    return fixedDuration_ > 0 ? fixedDuration_ : settlingMilliseconds(response_, dampingFraction_);
}

void SpringAnimation::updateCurrentTime(int milliseconds)
{
    const bool ended = milliseconds >= settlingMilliseconds(response_, dampingFraction_);
    const double moved = ended ? 1 : progress(response_, dampingFraction_, milliseconds / 1000.0);
    value_ = from_ + (to_ - from_) * moved;
    Q_EMIT valueChanged(value_);
}

} // namespace tavlin
