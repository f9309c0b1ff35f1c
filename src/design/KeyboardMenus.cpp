#include "KeyboardMenus.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>

#include <algorithm>
#include <utility>

namespace tavlin {

void KeyboardMenus::install()
{
    static KeyboardMenus* const filter = [] {
        auto* made = new KeyboardMenus(qApp);
        qApp->installEventFilter(made);
        return made;
    }();
    Q_UNUSED(filter);
}

void KeyboardMenus::startOnFirstItem(QMenu* menu)
{
    const QList<QAction*> actions = menu->actions();
    const auto first = std::find_if(actions.cbegin(), actions.cend(), [](const QAction* action) {
        return action->isEnabled() && action->isVisible() && !action->isSeparator();
    });
    if (first != actions.cend())
        menu->setActiveAction(*first);
}

void KeyboardMenus::keyPressed()
{
    // The next key may already be waiting behind this one: the menu it opened starts on its first
    // item before that key moves in it.
    startPending();
    if (std::exchange(byKeyboard_, true))
        return;
    // What the key does is done by the time the event loop turns again; a menu that opens later
    // (on a timer, after a click) was not opened by it.
    QMetaObject::invokeMethod(
        this, [this] { byKeyboard_ = false; }, Qt::QueuedConnection);
}

void KeyboardMenus::startPending()
{
    const QPointer<QMenu> menu = std::exchange(pending_, nullptr);
    if (menu && menu->isVisible() && !menu->activeAction())
        startOnFirstItem(menu);
}

bool KeyboardMenus::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    // A key that is a shortcut (Shift+F10) reaches the application as its override and its
    // shortcut event alone, never as a press; a button opens its menu as Space is released.
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut: keyPressed(); break;
    case QEvent::ContextMenu:
        if (static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard)
            keyPressed();
        break;
    case QEvent::Show:
        // Started once the menu has finished opening, which may itself choose an item (a submenu
        // opened by the keys starts on its first).
        if (auto* menu = qobject_cast<QMenu*>(watched); menu && byKeyboard_) {
            pending_ = menu;
            QMetaObject::invokeMethod(this, &KeyboardMenus::startPending, Qt::QueuedConnection);
        }
        break;
    default: break;
    }
    return false;
}

} // namespace tavlin
