#include "QuickPanelFocus.h"

#include "WindowFocus.h"

#include <QApplication>
#include <QInputEvent>

namespace tavlin {

namespace {

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

QuickPanelFocus QuickPanelFocus::capture(WindowFocus& focus)
{
    const std::optional<quint64> active = focus.activeWindow();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (active && window->internalWinId() && quint64(window->internalWinId()) == *active)
            return internal(window);
    }
    QuickPanelFocus external;
    external.external = true;
    external.restore = [&focus, active] { return active && focus.activate(*active, lastInputTime()); };
    return external;
}

quint32 QuickPanelFocus::lastInputTime()
{
    return InputClock::now();
}

} // namespace tavlin
