#include "KeyboardFocus.h"

#include <QFocusEvent>
#include <QWidget>

namespace tavlin {

namespace {

const char* const keyboardProperty = "tavlinKeyboardFocus";

class Tracker : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut)
            return false;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Leaving and coming back with the window changes nothing.
        if (reason == Qt::ActiveWindowFocusReason)
            return false;
        const bool keyboard
            = event->type() == QEvent::FocusIn && (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason);
        watched->setProperty(keyboardProperty, keyboard);
        return false;
    }
};

} // namespace

void KeyboardFocus::track(QWidget* widget)
{
    static Tracker tracker;
    widget->installEventFilter(&tracker);
}

bool KeyboardFocus::showsRing(const QWidget* widget)
{
    return widget->hasFocus() && widget->property(keyboardProperty).toBool();
}

} // namespace tavlin
