#include "ShortcutBinding.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace tavlin {

namespace {

// Return, Tab, Escape, the modifier keys (both sides), Caps Lock, Fn and keypad Enter: keys that
// either cannot carry a shortcut or that a user must never lose to one.
constexpr std::array<quint32, 14> reservedKeyCodes{36, 48, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 76};

constexpr quint32 allModifiers = ShortcutBinding::commandKey | ShortcutBinding::shiftKey | ShortcutBinding::optionKey
    | ShortcutBinding::controlKey;
constexpr quint32 primaryModifiers = ShortcutBinding::commandKey | ShortcutBinding::optionKey
    | ShortcutBinding::controlKey;

constexpr quint32 spaceKeyCode = 49;

struct NamedKey {
    quint32 keyCode;
    const char* title;
};

// Keys whose name no layout gives as a character.
constexpr NamedKey namedKeys[] = {
    {122, "F1"},    {120, "F2"},          {99, "F3"},     {118, "F4"},  {96, "F5"},   {97, "F6"},
    {98, "F7"},     {100, "F8"},          {101, "F9"},    {109, "F10"}, {103, "F11"}, {111, "F12"},
    {105, "Print"}, {107, "Scroll Lock"}, {113, "Pause"}, {106, "F16"}, {64, "F17"},  {79, "F18"},
    {80, "F19"},    {90, "F20"},          {123, "←"},     {124, "→"},   {125, "↓"},   {126, "↑"},
};

std::optional<quint32> unsigned32(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (number < 0 || number > double(std::numeric_limits<quint32>::max()) || std::trunc(number) != number)
        return std::nullopt;
    return quint32(number);
}

} // namespace

quint32 ShortcutBinding::modifierBits(Qt::KeyboardModifiers pressed)
{
    quint32 bits = 0;
    if (pressed & Qt::MetaModifier)
        bits |= commandKey;
    if (pressed & Qt::ShiftModifier)
        bits |= shiftKey;
    if (pressed & Qt::AltModifier)
        bits |= optionKey;
    if (pressed & Qt::ControlModifier)
        bits |= controlKey;
    return bits;
}

bool ShortcutBinding::isValid() const
{
    return keyCode <= 126
        && std::find(reservedKeyCodes.begin(), reservedKeyCodes.end(), keyCode) == reservedKeyCodes.end()
        && (modifiers & ~allModifiers) == 0 && (modifiers & primaryModifiers) != 0;
}

QStringList ShortcutBinding::modifierSymbols() const
{
    QStringList symbols;
    if (modifiers & controlKey)
        symbols.append(QStringLiteral("Ctrl"));
    if (modifiers & optionKey)
        symbols.append(QStringLiteral("Alt"));
    if (modifiers & shiftKey)
        symbols.append(QStringLiteral("Shift"));
    if (modifiers & commandKey)
        symbols.append(QStringLiteral("Super"));
    return symbols;
}

std::optional<QString> ShortcutBinding::fixedKeyTitle() const
{
    if (keyCode == spaceKeyCode)
        return QCoreApplication::translate("Tavlin", "Space");
    for (const NamedKey& key : namedKeys) {
        if (key.keyCode == keyCode)
            return QString::fromUtf8(key.title);
    }
    return std::nullopt;
}

QByteArray ShortcutBinding::toJson() const
{
    const QJsonObject object{{QStringLiteral("keyCode"), qint64(keyCode)},
                             {QStringLiteral("modifiers"), qint64(modifiers)}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<ShortcutBinding> ShortcutBinding::fromJson(const QByteArray& json)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const std::optional<quint32> keyCode = unsigned32(object.value(QStringLiteral("keyCode")));
    const std::optional<quint32> modifiers = unsigned32(object.value(QStringLiteral("modifiers")));
    if (!keyCode || !modifiers)
        return std::nullopt;
    return ShortcutBinding{*keyCode, *modifiers};
}

} // namespace tavlin
