#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <Qt>

#include <optional>

namespace tavlin {

// One global key combination: a key position and modifier bits. Both keep the numbering of the
// stored form ("quickPanel.shortcut"), so a binding saved once reads back the same on any keyboard
// layout: the key code names a position on an ANSI keyboard (49 is the space bar, 0 the key that
// says A on a US keyboard), and the hot-key backend maps it to the native key of that position and
// names it in the active layout (HotKeyBackend::keyTitle, displayText).
struct ShortcutBinding {
    static constexpr quint32 commandKey = 0x0100; // Super
    static constexpr quint32 shiftKey = 0x0200;
    static constexpr quint32 optionKey = 0x0800; // Alt
    static constexpr quint32 controlKey = 0x1000;

    quint32 keyCode = 0;
    quint32 modifiers = 0;

    // Ctrl+Alt+V: used whenever no valid binding is stored. (Alt+Space, the other obvious choice,
    // is the window menu of nearly every Linux window manager.)
    static constexpr ShortcutBinding defaultBinding() { return {9, controlKey | optionKey}; }

    // A key code no position has: what a key without one records as.
    static constexpr quint32 unknownKeyCode = 0xffffffff;

    // The modifier bits of pressed Qt modifiers (Meta is Super).
    static quint32 modifierBits(Qt::KeyboardModifiers pressed);

    // A key other than Return, Tab, Escape and the modifier keys themselves, with Ctrl, Alt or
    // Super (Shift alone is not enough) and no other modifier.
    bool isValid() const;
    // Names of the set modifiers, as Linux desktops name them, always in the order Ctrl, Alt,
    // Shift, Super.
    QStringList modifierSymbols() const;
    // The name of a key no layout names by a character: "Space", a function-key or arrow name;
    // nothing for any other key.
    std::optional<QString> fixedKeyTitle() const;

    // The stored form: {"keyCode":49,"modifiers":2048}.
    QByteArray toJson() const;
    // A JSON object with both members as unsigned 32-bit integers (others are ignored), else nothing.
    static std::optional<ShortcutBinding> fromJson(const QByteArray& json);

    friend bool operator==(const ShortcutBinding&, const ShortcutBinding&) = default;
};

} // namespace tavlin
