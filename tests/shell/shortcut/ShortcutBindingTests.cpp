// The value rules of a binding: validity, display pieces, the stored JSON form, and the mapping of
// a recorded key press. No display here: key titles fall back to the US names.
#include "ShortcutBinding.h"

#include <QKeyEvent>

#include <gtest/gtest.h>

using tavlin::ShortcutBinding;

namespace {

constexpr quint32 control = ShortcutBinding::controlKey;
constexpr quint32 option = ShortcutBinding::optionKey;
constexpr quint32 shift = ShortcutBinding::shiftKey;
constexpr quint32 command = ShortcutBinding::commandKey;

TEST(ShortcutBinding, DefaultIsAltSpace)
{
    EXPECT_EQ(ShortcutBinding::defaultBinding(), (ShortcutBinding{49, 0x800}));
    EXPECT_TRUE(ShortcutBinding::defaultBinding().isValid());
    EXPECT_EQ(ShortcutBinding::defaultBinding().displayText(), "Alt+Space");
}

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
        {0, shift, false},  // Shift alone is not enough
        {0, 0, false},
        {127, command, false},
        {4000000000u, command, false},
        {0, command | 0x0001, false}, // a bit outside the four modifiers
        {0, command | 0x2000, false},
        {0, 0x0400, false},           // a bit between the modifiers, alone
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
    EXPECT_EQ((ShortcutBinding{40, command | shift}.displayText()), "Shift+Super+K");
}

TEST(ShortcutBinding, KeyTitles)
{
    EXPECT_EQ((ShortcutBinding{49, option}.keyTitle()), "Space");
    EXPECT_EQ((ShortcutBinding{122, option}.keyTitle()), "F1");
    EXPECT_EQ((ShortcutBinding{90, option}.keyTitle()), "F20");
    EXPECT_EQ((ShortcutBinding{123, option}.keyTitle()), "←");
    EXPECT_EQ((ShortcutBinding{126, option}.keyTitle()), "↑");
    // Character keys, by their US character when no layout can be asked.
    EXPECT_EQ((ShortcutBinding{0, option}.keyTitle()), "A");
    EXPECT_EQ((ShortcutBinding{6, option}.keyTitle()), "Z");
    EXPECT_EQ((ShortcutBinding{44, option}.keyTitle()), "/");
    EXPECT_EQ((ShortcutBinding{50, option}.keyTitle()), "`");
    EXPECT_EQ((ShortcutBinding{83, option}.keyTitle()), "1"); // keypad 1
    // Keys without a character, or without a position.
    EXPECT_EQ((ShortcutBinding{117, option}.keyTitle()), "Key 117"); // forward delete
    EXPECT_EQ((ShortcutBinding{52, option}.keyTitle()), "Key 52");
    EXPECT_EQ((ShortcutBinding{4294967295u, option}.keyTitle()), "Key 4294967295");
}

TEST(ShortcutBinding, StoredFormIsCompactJson)
{
    EXPECT_EQ(ShortcutBinding::defaultBinding().toJson(), R"({"keyCode":49,"modifiers":2048})");
    for (const ShortcutBinding binding : {ShortcutBinding{0, 0}, ShortcutBinding{126, 0x1b00},
                                          ShortcutBinding{4294967295u, 4294967295u}}) {
        EXPECT_EQ(ShortcutBinding::fromJson(binding.toJson()), binding);
    }
}

TEST(ShortcutBinding, DecodingAcceptsAnyObjectWithBothMembers)
{
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
    // X keycode 45 is the K position (evdev 37); keypad and other flags are ignored.
    const QKeyEvent ctrlShiftK(QEvent::KeyPress, Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier | Qt::KeypadModifier,
                               45, 0, 0);
    EXPECT_EQ(ShortcutBinding::fromKeyEvent(ctrlShiftK), (ShortcutBinding{40, control | shift}));

    const QKeyEvent superAltSpace(QEvent::KeyPress, Qt::Key_Space, Qt::MetaModifier | Qt::AltModifier, 65, 0, 0);
    EXPECT_EQ(ShortcutBinding::fromKeyEvent(superAltSpace), (ShortcutBinding{49, command | option}));

    // A Cyrillic layout gives another key symbol at the same position: the binding is the same.
    const QKeyEvent altCyrillic(QEvent::KeyPress, 0x043b, Qt::AltModifier, 45, 0, 0);
    EXPECT_EQ(ShortcutBinding::fromKeyEvent(altCyrillic), (ShortcutBinding{40, option}));

    const QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, 9, 0, 0);
    EXPECT_EQ(ShortcutBinding::fromKeyEvent(escape).keyCode, 53u);

    // A key without a position never makes a valid binding.
    const QKeyEvent unknown(QEvent::KeyPress, Qt::Key_unknown, Qt::ControlModifier, 0, 0, 0);
    EXPECT_FALSE(ShortcutBinding::fromKeyEvent(unknown).isValid());
}

} // namespace
