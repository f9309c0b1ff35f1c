#include "WindowPresenter.h"

#include "ApplicationActivation.h"
#include "HistoryWindow.h"
#include "Log.h"
#include "SettingsWindow.h"
#include "TrueBlackWindowChrome.h"
#include "ViewPreferences.h"
#include "WindowManagerHints.h"
#include "WindowTheme.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QShortcut>

#include <utility>

namespace tavlin {

using namespace std::chrono_literals;

namespace {

// How long a window manager may take to apply the Quick Panel's hand-back of the keyboard. Short:
// a loss of the keyboard within it is taken for the hand-back, not for the user leaving.
constexpr auto handBackSettling = 1s;

// A dialog Tavlin opens (a question, the application chooser, the update message) is of a fixed
// size: its frame offers a close button alone, nothing to minimise or enlarge. A file dialog,
// which the user may size, keeps the frame it has; a sheet has none.
class DialogFrames : public QObject {
public:
    DialogFrames(WindowManagerHints& windowManager, QObject* parent) : QObject(parent), windowManager_(windowManager)
    {
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Shown, a window has its native window but is not mapped yet: the window manager
        // reads the hints as it maps it.
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* dialog = qobject_cast<QDialog*>(watched);
            if (dialog && dialog->isWindow() && !qobject_cast<QFileDialog*>(dialog)
                && !dialog->windowFlags().testFlag(Qt::FramelessWindowHint))
                windowManager_.setCloseOnly(dialog->winId());
        }
        return QObject::eventFilter(watched, event);
    }

private:
    WindowManagerHints& windowManager_;
};

QWidget* emptyContent(const char* name)
{
    auto* content = new QWidget();
    content->setObjectName(QString::fromLatin1(name));
    return content;
}

} // namespace

WindowPresenter::WindowPresenter(ApplicationActivation& activation, WindowManagerHints& windowManager,
                                 WindowProperties& windowProperties, SystemAppearance& appearance,
                                 ViewPreferences& preferences, QObject* parent)
    : QObject(parent), activation_(activation), windowManager_(windowManager), windowProperties_(windowProperties),
      appearance_(appearance), preferences_(preferences)
{
    new DialogFrames(windowManager_, this);
    connect(&activation_, &ApplicationActivation::activeChanged, this, &WindowPresenter::activeChanged);
}

WindowPresenter::~WindowPresenter()
{
    closeAll();
}

void WindowPresenter::setHistoryContent(std::function<QWidget*()> make)
{
    makeHistoryContent_ = std::move(make);
}

void WindowPresenter::setSettingsContent(std::function<QWidget*()> make)
{
    makeSettingsContent_ = std::move(make);
}

void WindowPresenter::setIntroduction(std::function<QWidget*(bool)> prepare)
{
    prepareIntroduction_ = std::move(prepare);
}

void WindowPresenter::setQuickPanel(QuickPanel panel)
{
    quickPanel_ = std::move(panel);
}

HistoryWindow* WindowPresenter::historyWindow() const
{
    return history_;
}

SettingsWindow* WindowPresenter::settingsWindow() const
{
    return settings_;
}

bool WindowPresenter::isShown(const QWidget* window) const
{
    return window && window->isVisible() && !window->isMinimized();
}

bool WindowPresenter::isHistoryShown() const
{
    return isShown(history_);
}

void WindowPresenter::setTrayShown(bool shown)
{
    trayShown_ = shown;
    if (!history_ || history_->isFloating() == shown)
        return;
    const bool wasShown = isHistoryShown();
    history_->setFloating(shown);
    applyHistoryFrame();
    if (!wasShown)
        return;
    history_->show();
    updateLevels();
    // Floating again while another application is in use: it makes way, as it would have then.
    dismissHistoryIfInactive();
}

void WindowPresenter::applyHistoryFrame()
{
    // Each change of kind makes a new native window: a floating one is told again.
    if (history_->isFloating())
        windowManager_.setCloseOnly(history_->winId());
}

void WindowPresenter::showHistory()
{
    if (closed_)
        return;
    if (firstLaunchPending_) {
        showOnboarding();
        return;
    }
    hidePanel(PanelDismissal::history);
    historyRequested_ = true;
    clearActivationFlags();
    makeHistoryFrame();
    historyShown_ = true;
    history_->refitToScreen();
    bringToFront(history_);
    // A frame not prepared ahead is mapped before its content is built, so the window manager
    // frames it meanwhile; the content is in before anything paints, as painting waits for the
    // event loop.
    fillHistory();
    updateLevels();
    Q_EMIT searchFocusRequested();
}

void WindowPresenter::prepareHistory()
{
    // Only ahead of the first showing: once shown, the window is as ready as it gets.
    if (closed_ || firstLaunchPending_ || historyShown_)
        return;
    makeHistoryFrame();
    fillHistory();
    history_->drawAhead();
}

void WindowPresenter::makeHistoryFrame()
{
    if (history_)
        return;
    history_ = new HistoryWindow;
    history_->setFloating(trayShown_);
    applyHistoryFrame();
    connect(history_, &HistoryWindow::aboutToClose, this, [this] { historyRequested_ = false; });
    adopt(history_);
}

void WindowPresenter::fillHistory()
{
    if (historyFilled_)
        return;
    historyFilled_ = true;
    QWidget* content = makeHistoryContent_ ? makeHistoryContent_() : emptyContent("history-content");
    history_->setContent(content);
    WindowTheme::apply(content, appearance_, preferences_);
}

void WindowPresenter::showSettings()
{
    if (closed_)
        return;
    if (firstLaunchPending_) {
        showOnboarding();
        return;
    }
    hidePanel(PanelDismissal::deactivated);
    clearActivationFlags();
    if (!settings_) {
        QWidget* content = makeSettingsContent_ ? makeSettingsContent_() : emptyContent("settings-content");
        settings_ = new SettingsWindow(content);
        WindowTheme::apply(content, appearance_, preferences_);
        new TrueBlackWindowChrome(settings_, windowProperties_);
        connect(settings_, &SettingsWindow::aboutToClose, this, &WindowPresenter::settingsClosing);
        adopt(settings_);
    }
    bringToFront(settings_);
    updateLevels();
}

void WindowPresenter::showOnboarding()
{
    if (closed_)
        return;
    hidePanel(PanelDismissal::deactivated);
    clearActivationFlags();
    QWidget* window = prepareIntroduction_ ? prepareIntroduction_(firstLaunchPending_) : nullptr;
    if (!window) {
        if (firstLaunchPending_)
            Log::error(QStringLiteral("The introduction is pending: clipboard monitoring starts once it is finished"));
        return;
    }
    if (window != introduction_) {
        introduction_ = window;
        // Like the history window: a fixed page of steps, nothing to minimise or enlarge.
        windowManager_.setCloseOnly(window->winId());
        adopt(window);
    }
    bringToFront(window);
    updateLevels();
}

void WindowPresenter::toggleHistory()
{
    if (isHistoryShown() && (activation_.isActive() || activationPending_)) {
        orderOutHistory();
        return;
    }
    showHistory();
}

void WindowPresenter::hideHistory()
{
    if (history_ && history_->isVisible())
        orderOutHistory();
}

void WindowPresenter::shortcutPressed()
{
    if (firstLaunchPending_ || isShown(introduction_)) {
        showOnboarding();
        return;
    }
    if (quickPanel_.isPresented && quickPanel_.isPresented())
        hidePanel(PanelDismissal::shortcut);
    else if (quickPanel_.show)
        quickPanel_.show();
}

void WindowPresenter::reopen()
{
    // Here a reopen is a second launch, never the echo of the panel's own activation: once the
    // panel has gone, the launch is answered even while its activation is still on its way.
    if (quickPanel_.isPresented && quickPanel_.isPresented())
        return;
    if (firstLaunchPending_ || isShown(introduction_))
        showOnboarding();
    else if (isShown(settings_))
        showSettings();
    else
        showHistory();
}

void WindowPresenter::yieldToUpdateWindow()
{
    hidePanel(PanelDismissal::deactivated);
    if (history_ && history_->isVisible())
        orderOutHistory();
}

void WindowPresenter::menuOpened()
{
    ++openMenus_;
}

void WindowPresenter::menuClosed()
{
    openMenus_ = std::max(0, openMenus_ - 1);
    dismissHistoryIfInactive();
}

void WindowPresenter::sheetEnded()
{
    // Once the sheet has fully gone: until then it still counts as modal.
    QMetaObject::invokeMethod(this, &WindowPresenter::dismissHistoryIfInactive, Qt::QueuedConnection);
}

void WindowPresenter::quickPanelWillActivate()
{
    quickPanelActivation_ = true;
}

void WindowPresenter::quickPanelWillRestoreExternal()
{
    preserveHistoryOnQuickReturn_ = true;
    handBack_.setRemainingTime(handBackSettling);
    askedDuringHandBack_ = nullptr;
}

void WindowPresenter::quickPanelExternalRestoreFailed()
{
    preserveHistoryOnQuickReturn_ = false;
    handBack_ = QDeadlineTimer();
}

void WindowPresenter::closeAll()
{
    if (closed_)
        return;
    closed_ = true;
    openMenus_ = 0;
    delete history_;
    delete settings_;
}

void WindowPresenter::activeChanged(bool active)
{
    if (closed_)
        return;
    if (active) {
        applicationInactive_ = false;
        activationPending_ = false;
        awaitedWindow_ = nullptr;
        preserveHistoryOnQuickReturn_ = false;
        // Shown by the window manager or the desktop rather than asked for.
        if (!historyRequested_ && isHistoryShown()) {
            history_->hide();
            updateLevels();
        }
        if (isShown(settings_))
            Q_EMIT activatedWithSettingsShown();
        return;
    }
    applicationInactive_ = true;
    activationPending_ = false;
    quickPanelActivation_ = false;
    // The first loss after a hand-back is the hand-back arriving.
    const bool handedBack = !handBack_.hasExpired();
    handBack_ = QDeadlineTimer();
    Q_EMIT deactivated();
    hidePanel(PanelDismissal::deactivated);
    if (handedBack && askedDuringHandBack_ && askedDuringHandBack_->isVisible()) {
        // Applied by the window manager after a window asked for since (a launch just after
        // Escape): the user still wants that window, so it takes the keyboard back.
        applicationInactive_ = false;
        bringToFront(std::exchange(askedDuringHandBack_, nullptr));
        return;
    }
    if (preserveHistoryOnQuickReturn_) {
        // Only the focus went back to where the Quick Panel copied for: the history window stays.
        preserveHistoryOnQuickReturn_ = false;
        applicationInactive_ = false;
        return;
    }
    if (awaitedWindow_) {
        // The keyboard leaving another of Tavlin's windows, late (a closing Quick Panel handing
        // it back): the window just brought to front takes it next, so it stays.
        awaitedWindow_ = nullptr;
        return;
    }
    dismissHistoryIfInactive();
}

void WindowPresenter::dismissHistoryIfInactive()
{
    if (closed_ || !trayShown_ || !applicationInactive_ || openMenus_ > 0 || QApplication::activeModalWidget())
        return;
    orderOutHistory();
}

void WindowPresenter::orderOutHistory()
{
    historyRequested_ = false;
    if (history_)
        history_->hide();
    updateLevels();
}

void WindowPresenter::bringToFront(QWidget* window)
{
    const bool wasShown = window->isVisible();
    if (window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
    activationPending_ = !activation_.isActive();
    // Still active, though no window of ours that shows holds the keyboard: it is on its way out
    // of one just closed (this one, closed and asked for again), and its loss comes late.
    const QWidget* holder = QApplication::activeWindow();
    const bool lossOnItsWay = holder ? holder != window : !wasShown && activation_.isActive();
    awaitedWindow_ = lossOnItsWay ? window : nullptr;
    askedDuringHandBack_ = handBack_.hasExpired() ? nullptr : window;
}

void WindowPresenter::updateLevels()
{
    // Settings and the introduction stand just above the floating history window while it shows;
    // beside the ordinary one they are ordinary windows too. Showing a window clears what it was
    // told, so this runs after every show.
    const bool historyShown = isHistoryShown() && history_->isFloating();
    for (QWidget* window : {static_cast<QWidget*>(settings_), introduction_.data()}) {
        if (!window || !window->testAttribute(Qt::WA_WState_Created))
            continue;
        const bool above = historyShown && window->isVisible();
        windowManager_.setStackedAbove(window->winId(), above ? std::optional(history_->winId()) : std::nullopt);
        if (above)
            window->raise();
    }
}

void WindowPresenter::clearActivationFlags()
{
    quickPanelActivation_ = false;
    preserveHistoryOnQuickReturn_ = false;
    applicationInactive_ = false;
}

void WindowPresenter::hidePanel(PanelDismissal reason)
{
    if (quickPanel_.hide)
        quickPanel_.hide(reason);
}

bool WindowPresenter::eventFilter(QObject* watched, QEvent* event)
{
    // However a window goes or comes back (its close button, a shortcut, the window manager),
    // the levels follow.
    if (event->type() == QEvent::WindowActivate && watched == awaitedWindow_)
        awaitedWindow_ = nullptr;
    if (event->type() == QEvent::Hide || event->type() == QEvent::WindowStateChange)
        QMetaObject::invokeMethod(
            this, [this] { updateLevels(); }, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}

void WindowPresenter::adopt(QWidget* window)
{
    window->installEventFilter(this);
    // No global menu bar on X11: the main menu's commands are shortcuts of each window.
    const auto add = [window](const char* keys, auto action) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(keys)), window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, window, action);
    };
    add("Ctrl+,", [this] { showSettings(); });
    add("Ctrl+H", [this] { hideHistory(); });
    add("Ctrl+Q", [] { QCoreApplication::quit(); });
    add("Ctrl+W", [window] { window->close(); });
    // The floating history window cannot be minimised; the others are ordinary windows.
    add("Ctrl+M", [this, window] {
        if (window != history_ || !history_->isFloating())
            windowManager_.minimise(window->winId());
    });
}

} // namespace tavlin
