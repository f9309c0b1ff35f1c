#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace tavlin {

class ApplicationActivation;
class HistoryWindow;
class SettingsWindow;
class SystemAppearance;
class ViewPreferences;
class WindowManagerHints;
class WindowProperties;

// Decides which of Tavlin's windows show. It owns the history and Settings frames (built on first
// show, or for the history window when prepared ahead; kept for the life of the process) and
// keeps the rules about them: show, toggle from the tray, bring to front, dismiss the history
// window when Tavlin is no longer in use (never while a menu is open or a modal window or sheet
// runs, nor on a desktop without a tray), keep Settings and the introduction just above the
// visible floating history window, and the window shortcuts. The windows' contents come from
// their own subsystems through the setters below; the delegate connects the signals. Main thread.
class WindowPresenter : public QObject {
    Q_OBJECT

public:
    // Why the Quick Panel is asked to go.
    enum class PanelDismissal { shortcut, deactivated, history };

    // The Quick Panel as the presenter drives it; each member may be left empty.
    struct QuickPanel {
        std::function<bool()> isPresented;
        std::function<void()> show;
        std::function<void(PanelDismissal)> hide;
    };

    WindowPresenter(ApplicationActivation& activation, WindowManagerHints& windowManager,
                    WindowProperties& windowProperties, SystemAppearance& appearance, ViewPreferences& preferences,
                    QObject* parent = nullptr);
    ~WindowPresenter() override;

    // The root views of the frames, made on their first show and themed here; until set, an empty
    // view. The presenter owns what they return.
    void setHistoryContent(std::function<QWidget*()> make);
    void setSettingsContent(std::function<QWidget*()> make);
    // The introduction window: `prepare(firstLaunch)` returns it, the same window on every call.
    // It stands above the history window like Settings and gets the window shortcuts.
    void setIntroduction(std::function<QWidget*(bool firstLaunch)> prepare);
    void setQuickPanel(QuickPanel panel);

    // While the first-launch introduction is pending, every show brings the introduction instead.
    void setFirstLaunchPending(bool pending) { firstLaunchPending_ = pending; }
    bool isFirstLaunchPending() const { return firstLaunchPending_; }
    // Whether Tavlin's icon shows in a tray. Without one the history window is all there is to
    // see of Tavlin, so it is an ordinary window rather than the floating one: stacked among the
    // others, minimised with the rest, and left on screen when another window takes the
    // keyboard, until it is closed.
    void setTrayShown(bool shown);

    void showHistory();
    // Builds the history window and its content out of sight and draws them once, so that its
    // first showing costs what a later one does. Does nothing once it has shown, or while the
    // first-launch introduction is pending.
    void prepareHistory();
    void showSettings();
    void showOnboarding();
    // A left click on the tray icon: hides the history window where the user sees it in use,
    // shows it otherwise (a minimised window counts as hidden).
    void toggleHistory();
    // Ctrl+H: the history window goes; Settings stays.
    void hideHistory();
    // The global shortcut: the introduction while it is pending or shown, else the Quick Panel.
    void shortcutPressed();
    // A second launch asked the running one to come forward.
    void reopen();
    // The update check is about to show a window of its own.
    void yieldToUpdateWindow();
    // One of Tavlin's menus opened or closed.
    void menuOpened();
    void menuClosed();
    // A sheet of the history window (a confirmation) has gone.
    void sheetEnded();
    // The Quick Panel's callbacks: it is about to activate Tavlin; it is about to give the focus
    // back to another application; giving it back failed.
    void quickPanelWillActivate();
    void quickPanelWillRestoreExternal();
    void quickPanelExternalRestoreFailed();
    // Closes both frames for good; later calls do nothing.
    void closeAll();

    HistoryWindow* historyWindow() const;
    SettingsWindow* settingsWindow() const;
    // Visible and not minimised.
    bool isHistoryShown() const;

Q_SIGNALS:
    // The history window came forward: its content focuses the search field.
    void searchFocusRequested();
    // Tavlin is no longer the active application: a shortcut recording ends.
    void deactivated();
    // Tavlin became active while Settings shows: it re-reads what the desktop may have changed.
    void activatedWithSettingsShown();
    // The Settings window is closing: a shortcut recording ends.
    void settingsClosing();

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void activeChanged(bool active);
    void dismissHistoryIfInactive();
    void orderOutHistory();
    void bringToFront(QWidget* window);
    void updateLevels();
    void clearActivationFlags();
    void hidePanel(PanelDismissal reason);
    void adopt(QWidget* window);
    void makeHistoryFrame();
    void applyHistoryFrame();
    void fillHistory();
    bool isShown(const QWidget* window) const;

    ApplicationActivation& activation_;
    WindowManagerHints& windowManager_;
    WindowProperties& windowProperties_;
    SystemAppearance& appearance_;
    ViewPreferences& preferences_;
    std::function<QWidget*()> makeHistoryContent_;
    std::function<QWidget*()> makeSettingsContent_;
    std::function<QWidget*(bool)> prepareIntroduction_;
    QuickPanel quickPanel_;
    QPointer<HistoryWindow> history_;
    QPointer<SettingsWindow> settings_;
    QPointer<QWidget> introduction_;
    // A window brought to front that has not had the keyboard yet.
    QPointer<QWidget> awaitedWindow_;
    // The Quick Panel handed the keyboard back to another application and the loss of it has
    // not been reported yet; a window asked for meanwhile comes forward again when it is.
    QDeadlineTimer handBack_;
    QPointer<QWidget> askedDuringHandBack_;

    bool firstLaunchPending_ = false;
    bool trayShown_ = true;
    bool historyRequested_ = false;
    bool applicationInactive_ = false;
    bool activationPending_ = false;
    bool quickPanelActivation_ = false;
    bool preserveHistoryOnQuickReturn_ = false;
    int openMenus_ = 0;
    bool closed_ = false;
    bool historyFilled_ = false;
    bool historyShown_ = false;
};

} // namespace tavlin
