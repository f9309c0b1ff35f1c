#pragma once

#include "HistoryRetention.h"

#include <QObject>
#include <QString>

#include <qcoro/qcorotask.h>

#include <functional>
#include <optional>

namespace tavlin {

class Defaults;
class HistoryModel;

// The controller behind the two history limits (record count and total size). It keeps them in
// the defaults, hands them to the model, asks what a new limit would delete, waits for the
// user's confirmation when it deletes anything, and applies it. Main thread only.
class RetentionSettings : public QObject {
    Q_OBJECT

public:
    // A change that waits for the user's confirmation, with what it would delete.
    struct PendingChange {
        HistoryRetention retention;
        RetentionImpact impact;

        bool operator==(const PendingChange&) const = default;
    };

    RetentionSettings(Defaults& defaults, HistoryModel& model, QObject* parent = nullptr);

    // The stored limits; any missing, mistyped or unsupported value gives the standard ones.
    static HistoryRetention load(const Defaults& defaults);

    const HistoryRetention& applied() const { return applied_; }
    const std::optional<PendingChange>& pending() const { return pending_; }
    const std::optional<QString>& errorMessage() const { return errorMessage_; }
    bool isApplying() const { return isApplying_; }
    // What the applied limits mean for the stored history now.
    const std::optional<RetentionImpact>& usage() const { return usage_; }

    // Several refreshes may run at once (one per history change); only the newest publishes.
    QCoro::Task<> refreshUsage();
    // The user picked new limits: apply them at once when they delete nothing, else ask.
    QCoro::Task<> request(HistoryRetention retention);
    QCoro::Task<> confirm(PendingChange change);
    void cancel(const PendingChange& change);

    // How refreshUsage measures the applied limits: the model's retentionImpact unless replaced
    // (tests decide when each measurement finishes).
    using UsageMeasurement = std::function<QCoro::Task<RetentionImpact>(HistoryRetention)>;
    void setUsageMeasurement(UsageMeasurement measurement) { measureUsage_ = std::move(measurement); }

    // Byte counts as the settings show them ("256 MB", "Zero KB").
    static QString formatBytes(qint64 bytes);
    // Why favorites keep a limit from being applied.
    static QString infeasibleMessage(const RetentionImpact& impact, const HistoryRetention& retention);

Q_SIGNALS:
    void appliedChanged();
    void pendingChanged();
    void errorMessageChanged();
    void isApplyingChanged();
    void usageChanged();

private:
    QCoro::Task<> apply(HistoryRetention retention, qint64 confirmedEvictions);
    void setPending(const std::optional<PendingChange>& pending);
    void setErrorMessage(const std::optional<QString>& message);
    void setApplying(bool applying);

    Defaults& defaults_;
    HistoryModel& model_;
    HistoryRetention applied_;
    std::optional<PendingChange> pending_;
    std::optional<QString> errorMessage_;
    bool isApplying_ = false;
    std::optional<RetentionImpact> usage_;
    quint64 requestGeneration_ = 0;
    quint64 usageGeneration_ = 0;
    UsageMeasurement measureUsage_;
};

} // namespace tavlin
