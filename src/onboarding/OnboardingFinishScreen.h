#pragma once

#include <QWidget>

namespace tavlin {

class GlobalShortcut;
class OnboardingState;

// The last step: the mascot celebrates, and four tiles sum up the theme, history view, preview and
// Quick Panel shortcut as they stand.
class OnboardingFinishScreen : public QWidget {
    Q_OBJECT

public:
    OnboardingFinishScreen(const OnboardingState& state, const GlobalShortcut& shortcut, QWidget* parent = nullptr);
};

} // namespace tavlin
