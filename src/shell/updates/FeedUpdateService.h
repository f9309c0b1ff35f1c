#pragma once

#include "CoroutineWaits.h"
#include "FeedDownload.h"
#include "UpdateCheckResult.h"
#include "UpdateConfiguration.h"
#include "UpdateService.h"
#include "UpdateUserDriver.h"

#include <QNetworkAccessManager>

#include <qcoro/qcorotask.h>

#include <chrono>
#include <memory>

namespace tavlin {

class Defaults;

// Update checks against the configured feed: fetches it (bounded, see FeedDownload), finds the
// newest version, compares it with ours and shows the outcome through the user driver. A check
// that completes (the feed was fetched and read) records its date; the automatic checks, when
// switched on, run once a day after the last one. Tavlin never downloads or runs anything from
// the feed: a newer version is had through the package manager or its download page.
//
// The switch and the date are kept in the defaults under "updates.automaticChecks" (Bool, off
// unless the user turns it on) and "updates.lastCheckDate" (ISO 8601, UTC).
class FeedUpdateService : public UpdateService {
    Q_OBJECT

public:
    static constexpr std::chrono::hours automaticCheckInterval{24};

    FeedUpdateService(UpdateConfiguration configuration, QString currentVersion, Defaults& defaults,
                      std::unique_ptr<UpdateUserDriver> driver, FeedDownload::Limits limits = {},
                      QObject* parent = nullptr);
    // Ends a running check, its download dropped and nothing shown, and the automatic checks.
    ~FeedUpdateService() override;

    UpdateAvailability availability() const override { return {UpdateAvailability::State::available, {}}; }
    bool canCheckForUpdates() const override { return !checking_; }
    bool automaticallyChecksForUpdates() const override;
    void setAutomaticallyChecksForUpdates(bool value) override;
    std::optional<QDateTime> lastCheckDate() const override;
    void checkForUpdates() override;

    // One check, to its end: the outcome, also shown through the driver (for a check the user
    // asked for always, after willPresentWindow; for an automatic one only a newer version).
    // Nothing when another check is running or the service goes first.
    QCoro::Task<std::optional<UpdateCheckResult>> performCheck(bool userInitiated);

private:
    // None when the service ended the check.
    QCoro::Task<std::optional<UpdateCheckResult>> fetchOutcome();
    QCoro::Task<> runAutomaticChecks(quint64 generation);
    std::chrono::milliseconds untilNextAutomaticCheck() const;
    void scheduleAutomaticChecks();
    void setChecking(bool checking);

    UpdateConfiguration configuration_;
    QString currentVersion_;
    Defaults& defaults_;
    std::unique_ptr<UpdateUserDriver> driver_;
    FeedDownload::Limits limits_;
    QNetworkAccessManager network_;
    bool checking_ = false;
    // Automatic attempts, completed or not, are a day apart, so a failing one is not retried at once.
    std::optional<QDateTime> lastAutomaticAttempt_;
    quint64 automaticGeneration_ = 0;
    CoroutineWaits waits_;
};

} // namespace tavlin
