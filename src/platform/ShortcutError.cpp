#include "ShortcutError.h"

#include <QCoreApplication>

namespace tavlin {

QString ShortcutError::localizedDescription() const
{
    switch (kind_) {
    case Kind::system:
        return QCoreApplication::translate("Tavlin",
                                           "Could not register the shortcut. Choose a different one or try again.");
    case Kind::invalid:
        return QCoreApplication::translate(
            "Tavlin", "Use a key together with Ctrl, Alt or Super. Enter, Tab and Esc are not available.");
    case Kind::conflict:
        return QCoreApplication::translate(
            "Tavlin", "This shortcut is taken by the system or another app. Choose a different one.");
    }
    return {};
}

} // namespace tavlin
