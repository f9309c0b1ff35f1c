#include "AppUpdateController.h"

#include "FeedUpdateService.h"
#include "MessageBoxUpdateDriver.h"
#include "Publish.h"
#include "TavlinLanguage.h"
#include "UnavailableUpdateService.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QRegularExpression>

namespace tavlin {

namespace {

// The locale's long date without its weekday and with the month abbreviated: "Jan 5, 2025",
// "5 янв. 2025 г.".
QString abbreviatedDate(const QDate& date, const QLocale& locale)
{
    QString format = locale.dateFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("dddd[^dMy']*")));
    format.replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
    return locale.toString(date, format.trimmed());
}

} // namespace

std::unique_ptr<UpdateService> AppUpdateController::makeService(const std::optional<InstalledApplication>& installed,
                                                                bool isolatedProfile, Defaults& defaults,
                                                                const QString& configurationPath)
{
    if (isolatedProfile || !installed)
        return std::make_unique<UnavailableUpdateService>(
            UpdateAvailability{UpdateAvailability::State::unsupported, {}});
    std::optional<UpdateConfiguration> configuration = UpdateConfiguration::read(configurationPath);
    if (!configuration)
        return std::make_unique<UnavailableUpdateService>(
            UpdateAvailability{UpdateAvailability::State::notConfigured, {}});
    return std::make_unique<FeedUpdateService>(std::move(*configuration), version(), defaults,
                                               std::make_unique<MessageBoxUpdateDriver>(&openInBrowser));
}

QString AppUpdateController::installedConfigurationPath()
{
    return UpdateConfiguration::installedPath();
}

QString AppUpdateController::version()
{
#ifdef TAVLIN_VERSION
    const QString version = QStringLiteral(TAVLIN_VERSION);
#else
    const QString version;
#endif
    return version.isEmpty() ? QStringLiteral("—") : version;
}

QUrl AppUpdateController::downloadPage()
{
    static const QUrl page(QStringLiteral("https://tavlin.org/download"));
    return page;
}

void AppUpdateController::openInBrowser(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

AppUpdateController::AppUpdateController(std::unique_ptr<UpdateService> service, QString currentVersion,
                                         OpenURL openURL, QObject* parent)
    : QObject(parent), service_(std::move(service)), currentVersion_(std::move(currentVersion)),
      openURL_(std::move(openURL)), availability_(service_->availability())
{
    refresh();
    connect(service_.get(), &UpdateService::changed, this, &AppUpdateController::refresh);
}

QString AppUpdateController::detail() const
{
    switch (availability_.state) {
    case UpdateAvailability::State::notConfigured:
    case UpdateAvailability::State::unsupported:
        return QCoreApplication::translate(
            "Tavlin", "Updates aren’t available in this build. New versions are on the download page.");
    case UpdateAvailability::State::failed:
        return QCoreApplication::translate("Tavlin", "Couldn’t start checking for updates: %1")
            .arg(availability_.failureMessage);
    case UpdateAvailability::State::available: break;
    }
    if (!lastCheckDate_)
        return QCoreApplication::translate("Tavlin", "Tavlin hasn’t checked for updates yet.");
    const QLocale locale = TavlinLanguage::locale();
    const QDateTime local = lastCheckDate_->toLocalTime();
    const QString when = abbreviatedDate(local.date(), locale) + QStringLiteral(", ")
        + locale.toString(local.time(), QLocale::ShortFormat);
    return QCoreApplication::translate("Tavlin", "Last checked: %1.").arg(when);
}

void AppUpdateController::refresh()
{
    const UpdateAvailability availability = service_->availability();
    const bool canCheck = service_->canCheckForUpdates();
    const bool automaticChecks = service_->automaticallyChecksForUpdates();
    const std::optional<QDateTime> lastCheckDate = service_->lastCheckDate();
    publish(this, availability_, availability, &AppUpdateController::availabilityChanged);
    publish(this, canCheck_, canCheck, &AppUpdateController::canCheckChanged);
    publish(this, automaticChecks_, automaticChecks, &AppUpdateController::automaticChecksChanged);
    publish(this, lastCheckDate_, lastCheckDate, &AppUpdateController::lastCheckDateChanged);
}

void AppUpdateController::checkNow()
{
    if (!canCheck_)
        return;
    Q_EMIT service_->willPresentWindow();
    service_->checkForUpdates();
    refresh();
}

void AppUpdateController::setAutomaticChecks(bool value)
{
    if (!availability_.isAvailable())
        return;
    service_->setAutomaticallyChecksForUpdates(value);
    refresh();
}

void AppUpdateController::openDownloadPage()
{
    if (openURL_)
        openURL_(downloadPage());
}

} // namespace tavlin
