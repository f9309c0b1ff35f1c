#include "QuickPanelCoordinator.h"

#include "DesktopPresses.h"
#include "HistoryOperations.h"
#include "QuickPanel.h"
#include "QuickPanelMotion.h"
#include "QuickPanelState.h"
#include "QuickPanelView.h"
#include "QuickSearchField.h"
#include "SystemAppearance.h"
#include "ViewPreferences.h"
#include "WindowFocus.h"
#include "WindowTheme.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QScreen>

#include <chrono>

namespace tavlin {

using namespace std::chrono_literals;

namespace {

QRectF primaryScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? QRectF(screen->geometry()) : QRectF();
}

// The screen under the pointer, else the primary one; none without screens.
std::optional<QuickPanelGeometry::Display> pointerDisplay()
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    const QRectF main = primaryScreen();
    QList<QuickPanelGeometry::Display> displays;
    for (const QScreen* screen : screens)
        displays.append(QuickPanelGeometry::fromScreen(screen->geometry(), screen->availableGeometry(),
                                                       screen->devicePixelRatio(), main));
    const qsizetype fallback = screens.indexOf(QGuiApplication::primaryScreen());
    const std::optional<int> index = QuickPanelGeometry::displayIndex(
        QuickPanelGeometry::pointerFromScreen(QCursor::pos(), main), displays,
        fallback < 0 ? std::nullopt : std::optional<int>(int(fallback)));
    if (!index)
        return std::nullopt;
    return displays[*index];
}

} // namespace

QuickPanelCoordinator::QuickPanelCoordinator(HistoryOperations& history, ViewPreferences& preferences,
                                             SystemAppearance& appearance, WindowFocus& focus, DesktopPresses& presses,
                                             const SourceApplicationIcon& sources, QObject* parent)
    : QObject(parent), history_(history), preferences_(preferences), appearance_(appearance), focus_(focus),
      presses_(presses), sources_(sources), state_(std::make_unique<QuickPanelState>(history)),
      motion_(std::make_unique<QuickPanelMotion>())
{
    // The clock sees the hot key's press only when it runs before it.
    QuickPanelFocus::lastInputTime();
    connect(&presses_, &DesktopPresses::pressed, this, &QuickPanelCoordinator::desktopPress);
    // Any change of the screens closes the panel: its place may be gone.
    connect(qApp, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        watchScreen(screen);
        screenChanged();
    });
    connect(qApp, &QGuiApplication::screenRemoved, this, &QuickPanelCoordinator::screenChanged);
    connect(qApp, &QGuiApplication::primaryScreenChanged, this, &QuickPanelCoordinator::screenChanged);
    for (QScreen* screen : QGuiApplication::screens())
        watchScreen(screen);
}

QuickPanelCoordinator::~QuickPanelCoordinator()
{
    shutdown();
}

void QuickPanelCoordinator::watchScreen(QScreen* screen)
{
    connect(screen, &QScreen::geometryChanged, this, &QuickPanelCoordinator::screenChanged);
    connect(screen, &QScreen::availableGeometryChanged, this, &QuickPanelCoordinator::screenChanged);
    connect(screen, &QScreen::logicalDotsPerInchChanged, this, &QuickPanelCoordinator::screenChanged);
}

void QuickPanelCoordinator::setPresented(bool presented)
{
    if (isPresented_ == presented)
        return;
    isPresented_ = presented;
    Q_EMIT isPresentedChanged();
}

void QuickPanelCoordinator::build()
{
    panel_ = new QuickPanel(*motion_);
    connect(panel_, &QuickPanel::commandRequested, this, &QuickPanelCoordinator::command);
    connect(panel_, &QuickPanel::clickThroughChanged, this,
            [this](bool through) { focus_.passClicks(quint64(panel_->winId()), through); });
    view_ = new QuickPanelView(*state_, sources_);
    connect(view_, &QuickPanelView::commandRequested, this, &QuickPanelCoordinator::command);
    connect(view_, &QuickPanelView::copyRequested, this, &QuickPanelCoordinator::copy);
    panel_->setContent(view_);
    WindowTheme::apply(view_, appearance_, preferences_);
    panel_->installEventFilter(this);
    // The native window exists before its first showing, so that the cut-out of the collapsed
    // strip is in place when it maps rather than a frame later.
    panel_->winId();
}

void QuickPanelCoordinator::show()
{
    if (isPresented_ || shutDown_)
        return;
    const std::optional<QuickPanelGeometry::Display> display = pointerDisplay();
    if (!display)
        return;
    const QRectF frame = QuickPanelGeometry::frame(*display);
    if (!(frame.width() > 0 && frame.height() > 0))
        return;
    const quint64 generation = ++generation_;
    copying_ = false;

    // Reopened while still closing with the keyboard: the focus of the first opening stays.
    QuickPanelFocus captured = QuickPanelFocus::capture(focus_);
    // The keyboard was already in another application while Qt still calls us active: the
    // word that we lost it is on its way, late, and is not the user moving on.
    lateDeactivation_ = captured.external && QGuiApplication::applicationState() == Qt::ApplicationActive;
    if (!panel_ || captured.ownWindow != panel_.data())
        previousFocus_ = std::move(captured);

    motion_->reduceMotion = appearance_.reduceMotion();
    motion_->seed = QuickPanelGeometry::seed(*display, frame);
    const bool compositing = focus_.compositing();
    // Collapsed, to grow from its strip; without a compositor nothing fades, so with reduced
    // motion the panel simply appears.
    const bool appears = !compositing && motion_->reduceMotion;
    motion_->reset(appears, appears);
    state_->open();
    if (!panel_)
        build();
    panel_->setCompositing(compositing);
    panel_->setGeometry(QuickPanelGeometry::toScreen(frame, primaryScreen()).toRect());
    panel_->setIgnoresMouseEvents(true);
    setPresented(true);

    removeClickMonitors();
    qApp->installEventFilter(this);
    watchingClicks_ = true;
    presses_.start();
    // On screen only with its rows: a panel mapped before its first page would say the history
    // is empty, then fill.
    if (state_->isLoadingFirstPage()) {
        ++waitingForPage_;
        connect(
            state_.get(), &QuickPanelState::firstPageEnded, this,
            [this, generation] {
                --waitingForPage_;
                appear(generation);
            },
            Qt::SingleShotConnection);
    } else {
        appear(generation);
    }
}

void QuickPanelCoordinator::appear(quint64 generation)
{
    if (!isPresented_ || generation_ != generation || !panel_)
        return;
    Q_EMIT willActivate();
    activationPending_ = true;
    panel_->show();
    panel_->raise();
    panel_->activateWindow();
    focusSearch();
    opening(generation);
}

QCoro::Task<> QuickPanelCoordinator::opening(quint64 generation)
{
    ++transitions_;
    const bool mapped = co_await waits_.sleep(0ms); // the window maps first
    if (!mapped)
        co_return;
    if (isPresented_ && generation_ == generation) {
        motion_->open();
        const bool grown = co_await waits_.sleep(motion_->reduceMotion ? 100ms : 280ms);
        if (!grown)
            co_return;
        // Clicks reach the panel only once it has its full size.
        if (isPresented_ && generation_ == generation && panel_)
            panel_->setIgnoresMouseEvents(false);
    }
    if (--transitions_ == 0)
        Q_EMIT settled();
}

void QuickPanelCoordinator::hide(HideReason reason)
{
    if (!isPresented_)
        return;
    // While the first page loads, any close cancels the opening, except that late word.
    if (reason == HideReason::deactivated && waitingForPage_ > 0 && lateDeactivation_
        && QGuiApplication::applicationState() != Qt::ApplicationActive) {
        lateDeactivation_ = false;
        return;
    }
    // Decided before anything changes: only while the panel still has the keyboard.
    const bool restore = int(reason) < int(HideReason::deactivated) && panel_ && panel_->isActiveWindow();
    const quint64 generation = ++generation_;
    copying_ = false;
    setPresented(false);
    state_->close();
    removeClickMonitors();
    if (panel_)
        panel_->setIgnoresMouseEvents(true);
    motion_->close();
    if (restore) {
        if (previousFocus_.external)
            Q_EMIT willRestoreExternal();
        const bool restored = previousFocus_.restore();
        if (previousFocus_.external && !restored)
            Q_EMIT externalRestoreFailed();
    }
    closing(generation, motion_->reduceMotion ? 100 : 160);
}

QCoro::Task<> QuickPanelCoordinator::closing(quint64 generation, int milliseconds)
{
    ++transitions_;
    const bool shrunk = co_await waits_.sleep(std::chrono::milliseconds(milliseconds));
    if (!shrunk)
        co_return;
    // A showing in between keeps the panel on screen.
    if (generation_ == generation && !isPresented_ && panel_) {
        previousFocus_ = QuickPanelFocus();
        // A menu of ours opened by the press that closed the panel (the tray's) would close with
        // it: the panel, shrunk away and passing clicks through by now, goes with the menu.
        if (QWidget* menu = QApplication::activePopupWidget()) {
            menu->installEventFilter(this);
            waitingMenu_ = menu;
        } else {
            panel_->hide();
        }
    }
    if (--transitions_ == 0)
        Q_EMIT settled();
}

void QuickPanelCoordinator::command(QuickPanelCommand command)
{
    if (!isPresented_)
        return;
    switch (command) {
    case QuickPanelCommand::up:
    case QuickPanelCommand::down: {
        const std::optional<qint64> before = state_->selectedID();
        state_->moveSelection(command == QuickPanelCommand::up ? -1 : 1);
        // An arrow that can go no further says again what Return would copy, rather than nothing.
        if (state_->selectedID() == before)
            view_->repeatHighlighted();
        break;
    }
    case QuickPanelCommand::copy:
        if (const std::optional<Clip> clip = state_->selectedClip())
            copy(*clip);
        break;
    case QuickPanelCommand::cancel: hide(HideReason::cancel); break;
    case QuickPanelCommand::history:
        hide(HideReason::history);
        Q_EMIT historyRequested();
        break;
    }
}

void QuickPanelCoordinator::copy(const Clip& clip)
{
    // One copy at a time; further requests while one runs are dropped.
    if (!isPresented_ || copying_)
        return;
    copying_ = true;
    copying(generation_, clip);
}

QCoro::Task<> QuickPanelCoordinator::copying(quint64 generation, Clip clip)
{
    const QPointer<QuickPanelCoordinator> self(this);
    QCoro::Task<bool> copy = state_->copy(clip);
    const bool ok = co_await std::move(copy);
    if (!self || generation_ != generation || !isPresented_)
        co_return;
    copying_ = false;
    // A failed copy keeps the panel open with the state's message.
    if (ok)
        hide(HideReason::copied);
}

void QuickPanelCoordinator::focusSearch()
{
    if (!isPresented_ || !view_)
        return;
    QuickSearchField* field = view_->searchField();
    field->setFocus(Qt::ActiveWindowFocusReason);
    field->deselect();
    field->setCursorPosition(int(field->text().size()));
}

bool QuickPanelCoordinator::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == waitingMenu_ && event->type() == QEvent::Hide) {
        watched->removeEventFilter(this);
        waitingMenu_ = nullptr;
        if (!isPresented_ && panel_)
            panel_->hide();
    } else if (watched == panel_ && event->type() == QEvent::Paint && activationPending_) {
        // Painted means mapped and managed: a window manager now takes the request.
        activationPending_ = false;
        if (isPresented_ && !panel_->isActiveWindow())
            focus_.activate(quint64(panel_->winId()), QuickPanelFocus::lastInputTime());
    } else if (watched == panel_ && event->type() == QEvent::WindowDeactivate && isPresented_) {
        hide(HideReason::deactivated);
    } else if (watchingClicks_ && event->type() == QEvent::MouseButtonPress && watched->isWidgetType()) {
        outsideClick(static_cast<QWidget*>(watched)->window());
    }
    return false; // the press is still delivered
}

void QuickPanelCoordinator::outsideClick(QWidget* window)
{
    if (!isPresented_)
        return;
    if (window == panel_ && !panel_->ignoresMouseEvents())
        return;
    hide(HideReason::deactivated);
}

void QuickPanelCoordinator::desktopPress()
{
    // Presses on our own windows are the event filter's; this sees the rest of the desktop.
    if (!isPresented_)
        return;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->frameGeometry().contains(QCursor::pos())
            && !(window == panel_ && panel_->ignoresMouseEvents()))
            return;
    }
    hide(HideReason::deactivated);
}

void QuickPanelCoordinator::screenChanged()
{
    hide(HideReason::deactivated);
}

void QuickPanelCoordinator::removeClickMonitors()
{
    if (watchingClicks_) {
        qApp->removeEventFilter(this);
        presses_.stop();
    }
    watchingClicks_ = false;
}

void QuickPanelCoordinator::shutdown()
{
    if (shutDown_)
        return;
    shutDown_ = true;
    waits_.end();
    ++generation_;
    setPresented(false);
    state_->close();
    previousFocus_ = QuickPanelFocus();
    copying_ = false;
    removeClickMonitors();
    disconnect(qApp, nullptr, this, nullptr);
    for (QScreen* screen : QGuiApplication::screens())
        disconnect(screen, nullptr, this, nullptr);
    if (panel_) {
        panel_->removeEventFilter(this);
        panel_->hide();
        delete panel_;
    }
}

} // namespace tavlin
