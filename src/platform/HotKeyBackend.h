#pragma once

#include "ShortcutBinding.h"
#include "ShortcutError.h"

#include <QObject>
#include <QString>
#include <Qt>

#include <optional>

namespace tavlin {

// The system side of the global shortcut: registers hot keys with the display server, reports
// their presses, and knows the keyboard: which stored key position a native key code is, and what
// the key at a position is called in the active layout. GlobalShortcut drives it. Main thread only.
class HotKeyBackend : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Registers a hot key for `binding` and returns its identifier. Throws ShortcutError: invalid
    // for a binding that is not valid, conflict when another program holds the combination, system
    // for any other refusal.
    virtual quint32 registerHotKey(const ShortcutBinding& binding) = 0;
    // Gives up that registration; an identifier that is not registered is ignored.
    virtual void unregister(quint32 id) = 0;
    // Gives up every registration and every system resource; no press is reported after it.
    virtual void shutdown() = 0;

    // The stored (positional) key code of a native key code; nothing for a key without a position.
    virtual std::optional<quint32> keyCode(quint32 nativeKeyCode) const = 0;
    // The character the key at a stored position gives in the active layout, uppercased; nothing
    // for a key without one.
    virtual std::optional<QString> keyName(quint32 keyCode) const = 0;

    // The binding of a key press as a recorder sees it. Never fails: a key without a position gets
    // a key code that isValid() refuses.
    ShortcutBinding binding(quint32 nativeKeyCode, Qt::KeyboardModifiers modifiers) const;
    // The name of the key alone: "Space", a function-key or arrow name, keyName(), else "Key <code>".
    QString keyTitle(const ShortcutBinding& binding) const;
    // The whole combination for display: "Ctrl+Shift+K".
    QString displayText(const ShortcutBinding& binding) const;

Q_SIGNALS:
    // A registered hot key was pressed (a held key's repeats are not presses).
    void pressed();
};

} // namespace tavlin
