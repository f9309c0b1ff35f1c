#pragma once

#include <QWidget>

namespace tavlin {

class OnboardingDemo;
class OnboardingSegmented;
class OnboardingState;
class SwitchToggle;

// The second step: theme, history view and preview, each bound to the introduction's state, above
// a live miniature of the history window. Nothing is saved here.
class OnboardingPersonalizeScreen : public QWidget {
    Q_OBJECT

public:
    explicit OnboardingPersonalizeScreen(OnboardingState& state, QWidget* parent = nullptr);

private:
    void showState();

    OnboardingState& state_;
    OnboardingSegmented* appearance_;
    OnboardingSegmented* viewMode_;
    SwitchToggle* preview_;
    OnboardingDemo* demo_;
};

} // namespace tavlin
