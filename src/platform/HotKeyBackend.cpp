#include "HotKeyBackend.h"

#include <QCoreApplication>

namespace tavlin {

ShortcutBinding HotKeyBackend::binding(quint32 nativeKeyCode, Qt::KeyboardModifiers modifiers) const
{
    return {keyCode(nativeKeyCode).value_or(ShortcutBinding::unknownKeyCode), ShortcutBinding::modifierBits(modifiers)};
}

QString HotKeyBackend::keyTitle(const ShortcutBinding& binding) const
{
    if (std::optional<QString> title = binding.fixedKeyTitle())
        return *title;
    if (std::optional<QString> name = keyName(binding.keyCode))
        return *name;
    return QCoreApplication::translate("Tavlin", "Key %1").arg(binding.keyCode);
}

QString HotKeyBackend::displayText(const ShortcutBinding& binding) const
{
    QStringList pieces = binding.modifierSymbols();
    pieces.append(keyTitle(binding));
    return pieces.join(QLatin1Char('+'));
}

} // namespace tavlin
