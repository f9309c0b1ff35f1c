#include "LaunchAtLoginController.h"

#include "Diagnostics.h"
#include "Publish.h"

#include <QCoreApplication>

namespace tavlin {

const LaunchAtLoginError& LaunchAtLoginController::unsupportedError()
{
    static const LaunchAtLoginError error;
    return error;
}

LaunchAtLoginController::LaunchAtLoginController(std::unique_ptr<LoginItemService> service, QObject* parent)
    : QObject(parent), service_(std::move(service)), status_(service_->status())
{
}

bool LaunchAtLoginController::isOn() const
{
    return status_ == LoginItemStatus::enabled || status_ == LoginItemStatus::requiresApproval;
}

bool LaunchAtLoginController::needsSystemSettings() const
{
    return status_ == LoginItemStatus::requiresApproval || status_ == LoginItemStatus::notFound;
}

QString LaunchAtLoginController::detail() const
{
    switch (status_) {
    case LoginItemStatus::enabled:
        return QCoreApplication::translate("Tavlin",
                                           "Tavlin will start in the tray without opening the history window.");
    case LoginItemStatus::disabled:
        return QCoreApplication::translate("Tavlin", "Tavlin does not start automatically.");
    case LoginItemStatus::requiresApproval:
        return QCoreApplication::translate(
            "Tavlin", "Approval needed: turn on Tavlin in your desktop’s startup applications settings.");
    case LoginItemStatus::notFound:
        return QCoreApplication::translate("Tavlin",
                                           "This computer couldn’t find Tavlin. Install the app and open it again.");
    case LoginItemStatus::unsupported:
        return QCoreApplication::translate("Tavlin", "Available only in the installed Tavlin app.");
    }
    return {};
}

void LaunchAtLoginController::setEnabled(bool on)
{
    setStatus(service_->status());
    if (status_ == LoginItemStatus::unsupported) {
        setErrorMessage(unsupportedError().localizedDescription());
        return;
    }
    if (on == isOn()) {
        setErrorMessage(std::nullopt);
        return;
    }
    try {
        if (on)
            service_->registerItem();
        else
            service_->unregisterItem();
        setErrorMessage(std::nullopt);
    } catch (const std::exception& error) {
        const QString reason = Diagnostics::userMessage(error);
        setErrorMessage(
            on ? QCoreApplication::translate("Tavlin", "Could not turn on launch at login: %1").arg(reason)
               : QCoreApplication::translate("Tavlin", "Could not turn off launch at login: %1").arg(reason));
    }
    // A registration still waiting for approval keeps the switch on.
    setStatus(service_->status());
}

void LaunchAtLoginController::refresh()
{
    setStatus(service_->status());
}

void LaunchAtLoginController::openSystemSettings()
{
    service_->openSystemSettings();
}

void LaunchAtLoginController::setStatus(LoginItemStatus status)
{
    publish(this, status_, status, &LaunchAtLoginController::statusChanged);
}

void LaunchAtLoginController::setErrorMessage(const std::optional<QString>& message)
{
    publish(this, errorMessage_, message, &LaunchAtLoginController::errorMessageChanged);
}

} // namespace tavlin
