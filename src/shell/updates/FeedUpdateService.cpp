#include "FeedUpdateService.h"

#include "AppUpdateController.h"
#include "Appcast.h"
#include "Defaults.h"
#include "Diagnostics.h"
#include "Publish.h"
#include "StoredPreferences.h"

#include <QCoreApplication>

namespace tavlin {

FeedUpdateService::FeedUpdateService(UpdateConfiguration configuration, QString currentVersion, Defaults& defaults,
                                     std::unique_ptr<UpdateUserDriver> driver, FeedDownload::Limits limits,
                                     QObject* parent)
    : UpdateService(parent), configuration_(std::move(configuration)), currentVersion_(std::move(currentVersion)),
      defaults_(defaults), driver_(std::move(driver)), limits_(limits)
{
    scheduleAutomaticChecks();
}

FeedUpdateService::~FeedUpdateService()
{
    waits_.end();
}

bool FeedUpdateService::automaticallyChecksForUpdates() const
{
    return defaults_.boolValue(StoredPreferences::automaticUpdateChecks.key)
        .value_or(StoredPreferences::automaticUpdateChecks.fallback);
}

void FeedUpdateService::setAutomaticallyChecksForUpdates(bool value)
{
    if (value == automaticallyChecksForUpdates())
        return;
    defaults_.setBool(StoredPreferences::automaticUpdateChecks.key, value);
    scheduleAutomaticChecks();
    Q_EMIT changed();
}

std::optional<QDateTime> FeedUpdateService::lastCheckDate() const
{
    const std::optional<QString> text = defaults_.string(StoredPreferences::lastUpdateCheck.key);
    if (!text)
        return std::nullopt;
    const QDateTime date = QDateTime::fromString(*text, Qt::ISODateWithMs);
    return date.isValid() ? std::optional(date) : std::nullopt;
}

void FeedUpdateService::checkForUpdates()
{
    performCheck(true);
}

QCoro::Task<std::optional<UpdateCheckResult>> FeedUpdateService::performCheck(bool userInitiated)
{
    if (checking_)
        co_return std::nullopt;
    setChecking(true);
    // Made in a statement of its own: GCC 12 destroys temporaries of a co_await expression twice.
    QCoro::Task<std::optional<UpdateCheckResult>> fetching = fetchOutcome();
    const std::optional<UpdateCheckResult> outcome = co_await std::move(fetching);
    if (!outcome)
        co_return std::nullopt;
    const UpdateCheckResult& result = *outcome;
    setChecking(false);
    // A check of its own shows only news; one the user asked for always answers.
    if (userInitiated || result.state == UpdateCheckResult::State::updateAvailable) {
        if (userInitiated)
            Q_EMIT willPresentWindow();
        if (driver_)
            driver_->show(result);
    }
    co_return result;
}

QCoro::Task<std::optional<UpdateCheckResult>> FeedUpdateService::fetchOutcome()
{
    try {
        FeedDownload download(network_, configuration_.feedURL, limits_);
        if (!download.isFinished()) {
            const bool downloaded = co_await waits_.signal(&download, &FeedDownload::finished);
            if (!downloaded)
                co_return std::nullopt;
        }
        if (download.error())
            throw *download.error();
        const std::optional<QList<AppcastItem>> items = Appcast::parse(download.body());
        if (!items)
            throw UpdateCheckError(
                UpdateCheckError::Kind::malformed,
                QStringLiteral("no RSS item with a version in %1 bytes").arg(download.body().size()));

        defaults_.setString(StoredPreferences::lastUpdateCheck.key,
                            QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
        Q_EMIT changed();

        const AppcastItem newest = Appcast::newest(*items);
        if (Appcast::compareVersions(newest.version, currentVersion_) > 0) {
            co_return UpdateCheckResult{
                UpdateCheckResult::State::updateAvailable,
                QCoreApplication::translate("Tavlin",
                                            "Tavlin %1 is available; you have %2. Install it with your package manager "
                                            "or get it from the download page.")
                    .arg(newest.displayVersion(), currentVersion_),
                newest.displayVersion(), newest.link.isEmpty() ? AppUpdateController::downloadPage() : newest.link};
        }
        co_return UpdateCheckResult{
            UpdateCheckResult::State::upToDate,
            QCoreApplication::translate("Tavlin", "Tavlin %1 is the newest version available.").arg(currentVersion_),
            newest.displayVersion(),
            {}};
    } catch (const std::exception& error) {
        co_return UpdateCheckResult{UpdateCheckResult::State::failed, Diagnostics::userMessage(error), {}, {}};
    }
}

void FeedUpdateService::scheduleAutomaticChecks()
{
    ++automaticGeneration_;
    if (automaticallyChecksForUpdates())
        runAutomaticChecks(automaticGeneration_);
}

std::chrono::milliseconds FeedUpdateService::untilNextAutomaticCheck() const
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    std::optional<QDateTime> last = lastCheckDate();
    if (lastAutomaticAttempt_ && (!last || *lastAutomaticAttempt_ > *last))
        last = lastAutomaticAttempt_;
    // A date in the future (a clock set back, a damaged value) would postpone checks for good.
    if (!last || *last > now)
        return std::chrono::milliseconds(0);
    const qint64 remaining = std::chrono::milliseconds(automaticCheckInterval).count() - last->msecsTo(now);
    return std::chrono::milliseconds(std::max<qint64>(0, remaining));
}

QCoro::Task<> FeedUpdateService::runAutomaticChecks(quint64 generation)
{
    // Ends at its next wake-up once switched off or replaced by a newer loop, and at once when the
    // service goes.
    while (generation == automaticGeneration_ && automaticallyChecksForUpdates()) {
        const std::chrono::milliseconds wait = untilNextAutomaticCheck();
        if (wait.count() > 0) {
            const bool due = co_await waits_.sleep(wait);
            if (!due)
                co_return;
            continue;
        }
        lastAutomaticAttempt_ = QDateTime::currentDateTimeUtc();
        QCoro::Task<std::optional<UpdateCheckResult>> checking = performCheck(false);
        co_await std::move(checking);
        if (waits_.hasEnded())
            co_return;
    }
}

void FeedUpdateService::setChecking(bool checking)
{
    publish(this, checking_, checking, &FeedUpdateService::changed);
}

} // namespace tavlin
