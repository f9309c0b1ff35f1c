#include "QuickPanelEnvironment.h"

#include "SystemAppearance.h"
#include "WindowFocus.h"

#include <QApplication>
#include <QCursor>
#include <QInputEvent>
#include <QGuiApplication>
#include <QScreen>

namespace tavlin {

QuickPanelFocus QuickPanelFocus::internal(QWidget* window)
{
    QuickPanelFocus focus;
    focus.ownWindow = window;
    focus.restore = [weak = QPointer<QWidget>(window)] {
        if (!weak || !weak->isVisible())
            return false;
        weak->raise();
        weak->activateWindow();
        return true;
    };
    return focus;
}

QuickPanelEnvironment QuickPanelEnvironment::screens()
{
    QuickPanelEnvironment environment;
    const auto primary = [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? QRectF(screen->geometry()) : QRectF();
    };
    environment.display = [primary]() -> std::optional<QuickPanelGeometry::Display> {
        const QList<QScreen*> screens = QGuiApplication::screens();
        const QRectF main = primary();
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
    };
    environment.toScreen = [primary](const QRectF& frame) {
        return QuickPanelGeometry::toScreen(frame, primary()).toRect();
    };
    return environment;
}

namespace {

// The display server's time of the user's latest key or button press: focus handed back is
// handed back as of that moment, so that window managers take it as the user's own act.
class InputClock : public QObject {
public:
    static quint32 now()
    {
        static InputClock* clock = [] {
            auto* created = new InputClock;
            created->setParent(qApp);
            qApp->installEventFilter(created);
            return created;
        }();
        return clock->latest_;
    }

private:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress)
            latest_ = std::max(latest_, quint32(static_cast<QInputEvent*>(event)->timestamp()));
        return false;
    }
    quint32 latest_ = 0;
};

} // namespace

QuickPanelEnvironment QuickPanelEnvironment::desktop(WindowFocus& focus, DesktopPresses& presses,
                                                     SystemAppearance& appearance)
{
    QuickPanelEnvironment environment = screens();
    InputClock::now();
    environment.captureFocus = [&focus] {
        const std::optional<quint64> active = focus.activeWindow();
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (active && window->internalWinId() && quint64(window->internalWinId()) == *active)
                return QuickPanelFocus::internal(window);
        }
        QuickPanelFocus external;
        external.external = true;
        external.restore = [&focus, active] { return active && focus.activate(*active, InputClock::now()); };
        return external;
    };
    // Qt may count the panel active while the server refused it the keyboard (its request
    // carries the time of the last event Qt saw, older than the hot key's).
    environment.activate = [&focus](QWidget* panel) { focus.activate(quint64(panel->winId()), InputClock::now()); };
    environment.reduceMotion = [&appearance] { return appearance.reduceMotion(); };
    environment.watchPresses = [&presses](std::function<void()> onPress) {
        presses.start(std::move(onPress));
        return std::function<void()>([&presses] { presses.stop(); });
    };
    environment.compositing = [&focus] { return focus.compositing(); };
    environment.passClicks = [&focus](QWidget* panel, bool through) { focus.passClicks(quint64(panel->winId()), through); };
    return environment;
}

} // namespace tavlin
