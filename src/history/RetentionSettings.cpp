#include "RetentionSettings.h"

#include "ByteCountFormatter.h"
#include "Defaults.h"
#include "Diagnostics.h"
#include "HistoryModel.h"
#include "Publish.h"
#include "StoredPreferences.h"

#include <QCoreApplication>
#include <QPointer>

namespace tavlin {

RetentionSettings::RetentionSettings(Defaults& defaults, HistoryModel& model, QObject* parent)
    : QObject(parent), defaults_(defaults), model_(model), applied_(load(defaults))
{
    // Every insert from the first tick on uses the stored limits.
    model_.monitor().setRetention(applied_);
    measureUsage_ = [this](HistoryRetention retention) { return model_.operations().retentionImpact(retention); };
}

HistoryRetention RetentionSettings::load(const Defaults& defaults)
{
    const std::optional<qint64> clipCount = defaults.integer(StoredPreferences::retentionClipCount.key);
    const std::optional<qint64> payloadBytes = defaults.integer(StoredPreferences::retentionPayloadBytes.key);
    if (!clipCount || !payloadBytes)
        return HistoryRetention::standard();
    const HistoryRetention stored{*clipCount, *payloadBytes};
    return stored.isSupported() ? stored : HistoryRetention::standard();
}

void RetentionSettings::setPending(const std::optional<PendingChange>& pending)
{
    publish(this, pending_, pending, &RetentionSettings::pendingChanged);
}

void RetentionSettings::setErrorMessage(const std::optional<QString>& message)
{
    publish(this, errorMessage_, message, &RetentionSettings::errorMessageChanged);
}

void RetentionSettings::setApplying(bool applying)
{
    publish(this, isApplying_, applying, &RetentionSettings::isApplyingChanged);
}

QCoro::Task<> RetentionSettings::refreshUsage()
{
    QPointer<RetentionSettings> self(this);
    const quint64 generation = ++usageGeneration_;
    std::optional<RetentionImpact> usage;
    try {
        usage = co_await measureUsage_(applied_);
    } catch (const std::exception&) {
        // Usage is informative only; a failure to compute it is not worth a message.
    }
    // A refresh started later knows better, whichever finishes first.
    if (self && usageGeneration_ == generation)
        publish(this, usage_, usage, &RetentionSettings::usageChanged);
}

QCoro::Task<> RetentionSettings::request(HistoryRetention retention)
{
    QPointer<RetentionSettings> self(this);
    const quint64 generation = ++requestGeneration_;
    setErrorMessage(std::nullopt);
    setPending(std::nullopt);
    if (retention == applied_)
        co_return;
    if (!retention.isSupported()) {
        setErrorMessage(QCoreApplication::translate("Tavlin", "Unsupported storage limit."));
        co_return;
    }

    RetentionImpact impact;
    try {
        impact = co_await model_.operations().retentionImpact(retention);
    } catch (const std::exception& error) {
        if (self && requestGeneration_ == generation)
            setErrorMessage(Diagnostics::userMessage(error));
        co_return;
    }
    if (!self || requestGeneration_ != generation)
        co_return;
    if (!impact.isFeasible) {
        setErrorMessage(infeasibleMessage(impact, retention));
        co_return;
    }
    if (impact.evictedCount < 1) {
        co_await apply(retention, 0);
        co_return;
    }
    setPending(PendingChange{retention, impact});
}

QCoro::Task<> RetentionSettings::confirm(PendingChange change)
{
    if (pending_ != change)
        co_return;
    setPending(std::nullopt);
    ++requestGeneration_; // an impact still on its way is for a question already answered
    co_await apply(change.retention, change.impact.evictedCount);
}

void RetentionSettings::cancel(const PendingChange& change)
{
    if (pending_ == change)
        setPending(std::nullopt);
}

QCoro::Task<> RetentionSettings::apply(HistoryRetention retention, qint64 confirmedEvictions)
{
    QPointer<RetentionSettings> self(this);
    setApplying(true);
    // The limits are stored before the deletion starts, so that a crash during it leaves the
    // limits the user confirmed; a refusal puts back what was stored.
    const QString& countKey = StoredPreferences::retentionClipCount.key;
    const QString& bytesKey = StoredPreferences::retentionPayloadBytes.key;
    const QVariant storedCount = defaults_.object(countKey);
    const QVariant storedBytes = defaults_.object(bytesKey);
    const auto restore = [&] {
        defaults_.setObject(countKey, storedCount);
        defaults_.setObject(bytesKey, storedBytes);
    };
    defaults_.setInteger(countKey, retention.clipCount);
    defaults_.setInteger(bytesKey, retention.payloadBytes);
    try {
        // The store refuses to delete more than the user agreed to.
        co_await model_.operations().applyRetention(retention, confirmedEvictions);
        if (!self)
            co_return;
        publish(this, applied_, retention, &RetentionSettings::appliedChanged);
        setErrorMessage(std::nullopt);
    } catch (const RetentionImpactChanged& changed) {
        // The history changed since the question: ask again with the new numbers.
        if (self) {
            restore();
            setPending(PendingChange{retention, changed.impact()});
        }
    } catch (const std::exception& error) {
        if (self) {
            restore();
            setErrorMessage(
                QCoreApplication::translate("Tavlin", "Limit not changed. %1").arg(Diagnostics::userMessage(error)));
        }
    }
    if (!self)
        co_return;
    co_await refreshUsage();
    if (self)
        setApplying(false);
}

QString RetentionSettings::formatBytes(qint64 bytes)
{
    return ByteCountFormatter::format(bytes);
}

QString RetentionSettings::infeasibleMessage(const RetentionImpact& impact, const HistoryRetention& retention)
{
    if (retention.clipCount < impact.favoriteCount) {
        return QCoreApplication::translate(
                   "Tavlin",
                   "Limit not changed: favorites hold %n records, more than %1. Favorites are never removed "
                   "automatically: remove some records from favorites or choose a larger limit.",
                   nullptr, int(impact.favoriteCount))
            .arg(QLocale().toString(retention.clipCount));
    }
    return QCoreApplication::translate("Tavlin",
                                       "Limit not changed: favorites take up %1, more than %2. Favorites are never "
                                       "removed automatically: remove some records from favorites or choose a "
                                       "larger limit.")
        .arg(formatBytes(impact.favoriteBytes), formatBytes(retention.payloadBytes));
}

} // namespace tavlin
