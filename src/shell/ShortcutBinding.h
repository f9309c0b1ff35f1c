#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class QKeyEvent;

namespace tavlin {

// One global key combination: a key position and modifier bits. Both keep the numbering of the
// stored form ("quickPanel.shortcut"), so a binding saved once reads back the same on any keyboard
// layout: the key code names a position on an ANSI keyboard (49 is the space bar, 0 the key that
// says A on a US keyboard), and the X11 backend maps it to the X keycode of that position.
struct ShortcutBinding {
    static constexpr quint32 commandKey = 0x0100; // Super
    static constexpr quint32 shiftKey = 0x0200;
    static constexpr quint32 optionKey = 0x0800; // Alt
    static constexpr quint32 controlKey = 0x1000;

    quint32 keyCode = 0;
    quint32 modifiers = 0;

    // Alt-Space: used whenever no valid binding is stored.
    static constexpr ShortcutBinding defaultBinding() { return {49, optionKey}; }

    // The key and modifiers of a key press, as a recorder sees it. Never fails: a key without a
    // position in our table gets a key code that isValid() refuses.
    static ShortcutBinding fromKeyEvent(const QKeyEvent& event);

    // A key other than Return, Tab, Escape and the modifier keys themselves, with Ctrl, Alt or
    // Super (Shift alone is not enough) and no other modifier.
    bool isValid() const;
    // Names of the set modifiers, as Linux desktops name them, always in the order Ctrl, Alt,
    // Shift, Super.
    QStringList modifierSymbols() const;
    // The name of the key alone: "Space", a function-key or arrow name, the character of the
    // key in the active (or else another) Latin keyboard layout, else "Key <code>".
    QString keyTitle() const;
    // The whole combination for display: "Ctrl+Shift+K".
    QString displayText() const;

    // The stored form: {"keyCode":49,"modifiers":2048}.
    QByteArray toJson() const;
    // A JSON object with both members as unsigned 32-bit integers (others are ignored), else nothing.
    static std::optional<ShortcutBinding> fromJson(const QByteArray& json);

    friend bool operator==(const ShortcutBinding&, const ShortcutBinding&) = default;
};

} // namespace tavlin
