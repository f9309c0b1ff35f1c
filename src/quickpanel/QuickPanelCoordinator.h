#pragma once

#include "Clip.h"
#include "CoroutineWaits.h"
#include "QuickPanel.h"
#include "QuickPanelCommand.h"
#include "QuickPanelFocus.h"
#include "QuickPanelView.h"

#include <QObject>
#include <QPointer>

#include <qcoro/qcorotask.h>

#include <memory>
#include <optional>

namespace tavlin {

class DesktopPresses;
class HistoryOperations;
class QuickPanelMotion;
class QuickPanelState;
class SourceApplicationIcon;
class SystemAppearance;
class ViewPreferences;
class WindowFocus;

// Owns the Quick Panel: builds its window once and reuses it, places it on the screen under the
// pointer, opens and closes it with its animation, gives the keyboard back to whoever had it
// (only when the panel closes for the user's own cancel, copy or shortcut), closes it on any
// press outside it, on loss of focus and on any change of the screens, and runs one copy at a
// time. Every asynchronous step is tied to the showing that started it. Main thread.
class QuickPanelCoordinator : public QObject {
    Q_OBJECT

public:
    // Focus goes back only below `deactivated`.
    enum class HideReason { cancel = 0, copied = 1, shortcut = 2, deactivated = 3, history = 4 };

    QuickPanelCoordinator(HistoryOperations& history, ViewPreferences& preferences, SystemAppearance& appearance,
                          WindowFocus& focus, DesktopPresses& presses, const SourceApplicationIcon& sources,
                          QObject* parent = nullptr);
    ~QuickPanelCoordinator() override;

    // Opens the panel; nothing while shown, without a screen, or on a screen with no room.
    void show();
    // Closes it for `reason`; nothing while hidden.
    void hide(HideReason reason);
    bool isPresented() const { return isPresented_; }
    // Final teardown: no animation, no focus handed back, the window gone.
    void shutdown();

    void command(QuickPanelCommand command);
    void copy(const Clip& clip);

    QuickPanelState& state() const { return *state_; }
    QuickPanelMotion& motion() const { return *motion_; }
    // None until the first showing.
    QuickPanel* panel() const { return panel_; }
    QuickPanelView* view() const { return view_; }
    // Running opening, closing or copy work.
    bool isBusy() const { return transitions_ > 0 || copying_ || waitingForPage_ > 0; }

Q_SIGNALS:
    void isPresentedChanged();
    // An opening or closing has played to its end.
    void settled();
    // The user asked for the history window; the panel is closing.
    void historyRequested();
    // Right before the panel takes the keyboard.
    void willActivate();
    // Right before the keyboard goes back to another application, and when that failed.
    void willRestoreExternal();
    void externalRestoreFailed();

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void build();
    void focusSearch();
    void outsideClick(QWidget* window);
    void desktopPress();
    void screenChanged();
    void watchScreen(QScreen* screen);
    void removeClickMonitors();
    void setPresented(bool presented);
    // Maps the panel, collapsed, and starts its opening, unless another showing or a hide came first.
    void appear(quint64 generation);
    QCoro::Task<> opening(quint64 generation);
    QCoro::Task<> closing(quint64 generation, int milliseconds);
    QCoro::Task<> copying(quint64 generation, Clip clip);

    HistoryOperations& history_;
    ViewPreferences& preferences_;
    SystemAppearance& appearance_;
    WindowFocus& focus_;
    DesktopPresses& presses_;
    const SourceApplicationIcon& sources_;
    std::unique_ptr<QuickPanelState> state_;
    std::unique_ptr<QuickPanelMotion> motion_;
    QPointer<QuickPanel> panel_;
    QPointer<QuickPanelView> view_;
    // A menu the panel waits for before it leaves the screen.
    QPointer<QWidget> waitingMenu_;
    bool isPresented_ = false;
    QuickPanelFocus previousFocus_;
    quint64 generation_ = 0;
    int transitions_ = 0;
    int waitingForPage_ = 0;
    bool copying_ = false;
    // The panel is to be given the keyboard once it is on screen.
    bool activationPending_ = false;
    // The application's deactivation still to come from before this showing.
    bool lateDeactivation_ = false;
    bool watchingClicks_ = false;
    bool shutDown_ = false;
    // The openings' and closings' waits, which the teardown ends.
    CoroutineWaits waits_;
};

} // namespace tavlin
