#pragma once

#include "OnboardingQuickPanelScreen.h"
#include "OnboardingState.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

namespace tavlin {

class GlobalShortcut;
class OnboardingWindow;
class SystemAppearance;
class ViewPreferences;
struct OnboardingStore;

// Owns the introduction's window: builds it and its state on demand, completes the introduction
// (choices, completion flag, its signals, closing), and lets a window the user closed
// go without writing anything. Main thread only.
class OnboardingCoordinator : public QObject {
    Q_OBJECT

public:
    struct Services {
        OnboardingStore& store;
        ViewPreferences& preferences;
        GlobalShortcut& shortcut;
        // The desktop's appearance, asked for when a window is built.
        std::function<SystemAppearance&()> appearance;
        ShortcutRecorderFactory makeRecorder;
        // The area a new window is fitted into: the screen under the pointer; nothing without one.
        std::function<std::optional<QSize>()> availableArea;
    };

    explicit OnboardingCoordinator(Services services, QObject* parent = nullptr);
    ~OnboardingCoordinator() override;

    // The window to show, built when there is none; an existing one comes back as it is, with its
    // step and choices. Shows nothing: the caller does.
    OnboardingWindow* prepare(OnboardingMode mode);
    OnboardingWindow* window() const { return window_; }
    OnboardingState* state() const { return state_; }
    // While the application quits: drops and closes the window without completing anything.
    void shutdown();

    // The screen under the pointer, else the primary one.
    static std::optional<QSize> screenArea();

Q_SIGNALS:
    // The introduction was completed: the choices and the completion flag are stored, the window
    // still shows.
    void finished(OnboardingMode mode);
    // After finished(), once the window is gone.
    void dismissed(OnboardingMode mode);

private:
    void complete();
    void windowWillClose();
    void tearDown();

    Services services_;
    QPointer<OnboardingWindow> window_;
    QPointer<OnboardingState> state_;
    bool completing_ = false;
};

} // namespace tavlin
