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
        // Only arriving counts: a ring shows only with the focus, and a control's own popup (a
        // picker's list) takes the focus away in ways of its own.
        if (event->type() != QEvent::FocusIn)
            return false;
        // A dialog hands its first control a focus event of the Tab kind as it shows, before
        // that control has the focus: that is the window's doing, not the keyboard's.
        if (!static_cast<QWidget*>(watched)->hasFocus())
            return false;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Coming back with the window or from the control's popup changes nothing.
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        watched->setProperty(keyboardProperty, reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason);
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
    return widget->hasFocus() && cameByKeyboard(widget);
}

bool KeyboardFocus::cameByKeyboard(const QWidget* widget)
{
    return widget->property(keyboardProperty).toBool();
}

} // namespace tavlin
