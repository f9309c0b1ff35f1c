#pragma once

#include "InstalledApplication.h"
#include "UpdateService.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

namespace tavlin {

class Defaults;

// The Updates group of the General pane: a cache of the update service's state, refreshed on its
// every change signal, and the actions the group offers. Main thread only.
class AppUpdateController : public QObject {
    Q_OBJECT

public:
    using OpenURL = std::function<void(const QUrl&)>;

    // Unsupported unless Tavlin runs installed and not from an isolated profile; not configured
    // without a valid installed configuration (`configurationPath`); else the feed service, with
    // its outcome windows.
    static std::unique_ptr<UpdateService> makeService(const std::optional<InstalledApplication>& installed,
                                                      bool isolatedProfile, Defaults& defaults,
                                                      const QString& configurationPath = installedConfigurationPath());
    static QString installedConfigurationPath();
    // This build's version, "—" when the build has none.
    static QString version();
    // The product's download page, offered when updates cannot be checked here.
    static QUrl downloadPage();
    static void openInBrowser(const QUrl& url);

    AppUpdateController(std::unique_ptr<UpdateService> service, QString currentVersion,
                        OpenURL openURL = &AppUpdateController::openInBrowser, QObject* parent = nullptr);

    const UpdateAvailability& availability() const { return availability_; }
    bool canCheck() const { return canCheck_; }
    bool automaticChecks() const { return automaticChecks_; }
    const std::optional<QDateTime>& lastCheckDate() const { return lastCheckDate_; }
    const QString& currentVersion() const { return currentVersion_; }
    UpdateService& service() const { return *service_; }

    // The status sentence under the group.
    QString detail() const;

    void refresh();
    // Asks the service for a check when one can start now; nothing otherwise.
    void checkNow();
    // Only while updates are available; otherwise the switch keeps its old value.
    void setAutomaticChecks(bool value);
    void openDownloadPage();

Q_SIGNALS:
    void availabilityChanged();
    void canCheckChanged();
    void automaticChecksChanged();
    void lastCheckDateChanged();

private:
    std::unique_ptr<UpdateService> service_;
    QString currentVersion_;
    OpenURL openURL_;
    UpdateAvailability availability_;
    bool canCheck_ = false;
    bool automaticChecks_ = false;
    std::optional<QDateTime> lastCheckDate_;
};

} // namespace tavlin
