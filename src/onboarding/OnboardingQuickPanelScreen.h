#pragma once

#include <QWidget>

#include <functional>

class QPushButton;

namespace tavlin {

class GlobalShortcut;
class OnboardingKeyCaps;
class ThemedLabel;

// Makes the control that records a new Quick Panel shortcut into the shared GlobalShortcut,
// showing `idleTitle` while it is not recording and telling `onFocusChange` when it gains or
// loses the keyboard focus. The application hands in Settings' recorder; without one the screen
// shows the shortcut and Reset alone.
using ShortcutRecorderFactory = std::function<QWidget*(GlobalShortcut& shortcut, const QString& idleTitle,
                                                       std::function<void(bool)> onFocusChange)>;

// The third step: the Quick Panel shortcut as key caps, a recorder to change it and Reset, a
// status line, the panel's keys, and a picture of the panel. It edits the live shortcut: a
// change is in force and stored at once.
class OnboardingQuickPanelScreen : public QWidget {
    Q_OBJECT

public:
    OnboardingQuickPanelScreen(GlobalShortcut& shortcut, const ShortcutRecorderFactory& makeRecorder,
                               QWidget* parent = nullptr);
    ~OnboardingQuickPanelScreen() override;

private:
    void showState();

    GlobalShortcut& shortcut_;
    OnboardingKeyCaps* caps_;
    QWidget* recorder_ = nullptr;
    QWidget* recorderFrame_ = nullptr;
    QPushButton* reset_;
    ThemedLabel* status_;
    ThemedLabel* hint_;
    bool recorderFocused_ = false;
};

} // namespace tavlin
