#pragma once

#include "LaunchAtLoginError.h"
#include "LoginItemService.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace tavlin {

// The launch-at-login switch of the General pane: a cache of the login item's status, refreshed
// when asked, and the last failure as a display text. Nothing is thrown to the views. Main
// thread only.
class LaunchAtLoginController : public QObject {
    Q_OBJECT

public:
    static const LaunchAtLoginError& unsupportedError();

    explicit LaunchAtLoginController(std::unique_ptr<LoginItemService> service, QObject* parent = nullptr);

    LoginItemStatus status() const { return status_; }
    const std::optional<QString>& errorMessage() const { return errorMessage_; }
    LoginItemService& service() const { return *service_; }

    // The switch shows on.
    bool isOn() const;
    // The pane offers the button that opens the system's login-item settings.
    bool needsSystemSettings() const;
    // The status sentence under the switch.
    QString detail() const;

    void setEnabled(bool on);
    void refresh();
    void openSystemSettings();

Q_SIGNALS:
    void statusChanged();
    void errorMessageChanged();

private:
    void setStatus(LoginItemStatus status);
    void setErrorMessage(const std::optional<QString>& message);

    std::unique_ptr<LoginItemService> service_;
    LoginItemStatus status_;
    std::optional<QString> errorMessage_;
};

} // namespace tavlin
