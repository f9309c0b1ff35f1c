#pragma once

#include <QObject>
#include <QPointer>

class QMenu;

namespace tavlin {

// A menu that the keyboard opens (the Menu key, Shift+F10, Space on a button with a menu) starts
// on its first item, as GTK's menus do. Qt's opens with no item active: a screen reader, told of
// no focus, said nothing until an arrow moved onto an item.
class KeyboardMenus : public QObject {
public:
    // For every menu of the application, once, before any window.
    static void install();
    // Makes the menu's first item that can be chosen its active one.
    static void startOnFirstItem(QMenu* menu);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;

    void keyPressed();
    void startPending();

    // A key is being handled: a menu shown meanwhile was opened by it.
    bool byKeyboard_ = false;
    // The menu opened by a key, until it has started on its first item.
    QPointer<QMenu> pending_;
};

} // namespace tavlin
