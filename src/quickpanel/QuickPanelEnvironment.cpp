#include "QuickPanelEnvironment.h"

#include <QCursor>
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

} // namespace tavlin
