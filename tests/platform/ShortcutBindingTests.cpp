// The value rules of a binding: validity, display pieces, the stored JSON form; and how the X11
// keyboard names a binding and maps a recorded key press. No display here: key titles fall back to
// the US names.
#include "ShortcutBinding.h"
#include "X11HotKeyBackend.h"

#include <gtest/gtest.h>

using tavlin::ShortcutBinding;
using tavlin::X11HotKeyBackend;

namespace {

constexpr quint32 control = ShortcutBinding::controlKey;
constexpr quint32 option = ShortcutBinding::optionKey;
constexpr quint32 shift = ShortcutBinding::shiftKey;
constexpr quint32 command = ShortcutBinding::commandKey;

TEST(ShortcutBinding, ValidityNeedsCtrlAltOrSuperAndAnOrdinaryKey)
{
    struct Case {
        quint32 keyCode;
        quint32 modifiers;
        bool valid;
    };
    const Case cases[] = {
        {0, command, true},
        {0, shift | command, true},
        {0, control | option | shift | command, true},
        {126, control, true},
        {0, shift, false}, // Shift alone is not enough
        {0, 0, false},
        {127, command, false},
        {4000000000u, command, false},
        {0, command | 0x0001, false}, // a bit outside the four modifiers
        {0, command | 0x2000, false},
        {0, 0x0400, false}, // a bit between the modifiers, alone
    };
    for (const Case& c : cases)
        EXPECT_EQ((ShortcutBinding{c.keyCode, c.modifiers}.isValid()), c.valid) << c.keyCode << "/" << c.modifiers;

    // Return, Tab, Escape, the modifier keys, Fn and keypad Enter, even with every modifier.
    for (const quint32 reserved : {36, 48, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 76})
        EXPECT_FALSE((ShortcutBinding{reserved, control | option | command}.isValid())) << reserved;
    // Their neighbours are ordinary keys.
    for (const quint32 ordinary : {35, 37, 47, 49, 52, 64, 75, 77})
        EXPECT_TRUE((ShortcutBinding{ordinary, option}.isValid())) << ordinary;
}

TEST(ShortcutBinding, ModifierNamesKeepTheDesktopOrder)
{
    EXPECT_EQ((ShortcutBinding{40, command | shift | option | control}.modifierSymbols()),
              QStringList({"Ctrl", "Alt", "Shift", "Super"}));
    EXPECT_EQ((ShortcutBinding{40, command | control}.modifierSymbols()), QStringList({"Ctrl", "Super"}));
    EXPECT_TRUE((ShortcutBinding{40, 0}.modifierSymbols().isEmpty()));
    EXPECT_EQ(X11HotKeyBackend().displayText({40, command | shift}), "Shift+Super+K");
}

TEST(ShortcutBinding, StoredFormIsCompactJsonAndAnyObjectWithBothMembersDecodes)
{
    EXPECT_EQ(ShortcutBinding::defaultBinding().toJson(), R"({"keyCode":9,"modifiers":6144})");
    for (const ShortcutBinding binding :
         {ShortcutBinding{0, 0}, ShortcutBinding{126, 0x1b00}, ShortcutBinding{4294967295u, 4294967295u}}) {
        EXPECT_EQ(ShortcutBinding::fromJson(binding.toJson()), binding);
    }
    EXPECT_EQ(ShortcutBinding::fromJson(R"({"modifiers":256,"keyCode":36})"), (ShortcutBinding{36, 256}));
    EXPECT_EQ(ShortcutBinding::fromJson(R"({"keyCode":0,"modifiers":4096,"extra":[1,2],"version":"2"})"),
              (ShortcutBinding{0, 4096}));
    EXPECT_EQ(ShortcutBinding::fromJson(R"( {"keyCode": 49.0, "modifiers": 2.048e3} )"), (ShortcutBinding{49, 2048}));
}

TEST(ShortcutBinding, DecodingRejectsMalformedValues)
{
    const char* malformed[] = {
        "",
        "not json",
        "null",
        "[49, 2048]",
        R"("{\"keyCode\":49,\"modifiers\":2048}")",
        "{}",
        R"({"keyCode":49})",
        R"({"modifiers":2048})",
        R"({"keyCode":"49","modifiers":2048})",
        R"({"keyCode":49,"modifiers":null})",
        R"({"keyCode":true,"modifiers":2048})",
        R"({"keyCode":-1,"modifiers":2048})",
        R"({"keyCode":49.5,"modifiers":2048})",
        R"({"keyCode":4294967296,"modifiers":2048})",
        R"({"keyCode":1e400,"modifiers":2048})",
        R"({"keyCode":{"value":49},"modifiers":2048})",
        R"({"keyCode":49,"modifiers":2048)",
    };
    for (const char* json : malformed)
        EXPECT_EQ(ShortcutBinding::fromJson(json), std::nullopt) << json;
}

TEST(ShortcutBinding, KeyPressMapsPositionAndModifiers)
{
    const X11HotKeyBackend keyboard;
    // X keycode 45 is the K position (evdev 37); keypad and other flags are ignored.
    EXPECT_EQ(keyboard.binding(45, Qt::ControlModifier | Qt::ShiftModifier | Qt::KeypadModifier),
              (ShortcutBinding{40, control | shift}));
    EXPECT_EQ(keyboard.binding(65, Qt::MetaModifier | Qt::AltModifier), (ShortcutBinding{49, command | option}));
    // A Cyrillic layout gives another key symbol at the same position: the binding is the same.
    EXPECT_EQ(keyboard.binding(45, Qt::AltModifier), (ShortcutBinding{40, option}));
    EXPECT_EQ(keyboard.binding(9, Qt::NoModifier).keyCode, 53u);
    // A key without a position never makes a valid binding.
    EXPECT_FALSE(keyboard.binding(0, Qt::ControlModifier).isValid());
}

} // namespace
