#pragma once

#include <QWidget>

namespace tavlin {

// The first step: the floating mascot greets the user, says what Tavlin does, and a card says
// that the history stays on this computer. No controls of its own.
class OnboardingWelcomeScreen : public QWidget {
    Q_OBJECT

public:
    explicit OnboardingWelcomeScreen(QWidget* parent = nullptr);
};

} // namespace tavlin
