#pragma once

#include <QAbstractAnimation>

namespace tavlin {

// A value moving from one number to another like a damped spring: `response` is the period of
// the undamped spring in seconds, `dampingFraction` how much of the critical damping it has (1
// settles without overshoot, less bounces). It runs until the motion has died down, or for the
// duration it is given, and reports every frame through valueChanged.
class SpringAnimation : public QAbstractAnimation {
    Q_OBJECT

public:
    SpringAnimation(double response, double dampingFraction, QObject* parent = nullptr);

    void setRange(double from, double to);
    double from() const { return from_; }
    double to() const { return to_; }
    double value() const { return value_; }
    // Ends the animation early, where it is (0: when the motion has died down).
    void setDuration(int milliseconds) { fixedDuration_ = milliseconds; }

    // The spring's progress from 0 towards 1 after `seconds`.
    static double progress(double response, double dampingFraction, double seconds);
    // When the motion stays within a thousandth of its distance.
    static int settlingMilliseconds(double response, double dampingFraction);

    int duration() const override;

Q_SIGNALS:
    void valueChanged(double value);

protected:
    void updateCurrentTime(int milliseconds) override;

private:
    double response_;
    double dampingFraction_;
    double from_ = 0;
    double to_ = 1;
    double value_ = 0;
    int fixedDuration_ = 0;
};

} // namespace tavlin
