#include "UpdateCheckError.h"

#include <QCoreApplication>

namespace tavlin {

QString UpdateCheckError::localizedDescription() const
{
    switch (kind_) {
    case Kind::unreachable:
        return QCoreApplication::translate(
            "Tavlin", "Couldn’t connect to the update server. Check your internet connection and try again.");
    case Kind::timedOut:
        return QCoreApplication::translate("Tavlin", "The update server didn’t answer in time. Try again later.");
    case Kind::tooManyRedirects:
        return QCoreApplication::translate("Tavlin", "The update server redirected the request too many times.");
    case Kind::untrustedRedirect:
        return QCoreApplication::translate(
            "Tavlin", "The update server redirected the request to an address Tavlin doesn’t trust.");
    case Kind::serverError:
        return QCoreApplication::translate("Tavlin", "The update server answered with an error (%1).").arg(httpStatus_);
    case Kind::tooLarge: return QCoreApplication::translate("Tavlin", "The update feed is too large.");
    case Kind::malformed: return QCoreApplication::translate("Tavlin", "The update feed couldn’t be read.");
    }
    return {};
}

} // namespace tavlin
