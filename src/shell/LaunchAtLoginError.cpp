#include "LaunchAtLoginError.h"

#include <QCoreApplication>

namespace tavlin {

QString LaunchAtLoginError::localizedDescription() const
{
    return QCoreApplication::translate("Tavlin", "Launch at login is available only in the installed Tavlin app.");
}

} // namespace tavlin
