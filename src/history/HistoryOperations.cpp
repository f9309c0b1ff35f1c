#include "HistoryOperations.h"

#include "ClipboardCodec.h"
#include "Diagnostics.h"
#include "HistoryBrowser.h"
#include "HistoryMonitor.h"
#include "Pasteboard.h"

#include <QCoreApplication>
#include <QPointer>

#include <qcoro/qcorofuture.h>

namespace tavlin {

HistoryOperations::HistoryOperations(HistoryRepository& repository, Pasteboard& pasteboard, HistoryMonitor& monitor,
                                     HistoryBrowser& browser, QObject* parent)
    : QObject(parent), repository_(repository), pasteboard_(pasteboard), monitor_(monitor), browser_(browser)
{
    connect(&browser, &HistoryBrowser::historyChanges, this, &HistoryOperations::historyChanges);
}

QCoro::Task<std::optional<ClipRowPresentation>> HistoryOperations::rowPresentation(Clip clip)
{
    QPointer<HistoryOperations> self(this);
    try {
        co_return co_await repository_.rowPresentation(clip);
    } catch (const std::exception& error) {
        if (self)
            browser_.reportError(error);
    }
    co_return std::nullopt;
}

QCoro::Task<RetentionImpact> HistoryOperations::applyRetention(HistoryRetention retention,
                                                               std::optional<qint64> maximumEvictions)
{
    QPointer<HistoryOperations> self(this);
    const RetentionImpact impact = co_await repository_.applyRetention(retention, maximumEvictions);
    if (!self)
        co_return impact;
    monitor_.setRetention(retention);
    if (impact.evictedCount >= 1)
        co_await reloadAfterRemoval();
    co_return impact;
}

QCoro::Task<RetentionImpact> HistoryOperations::retentionImpact(HistoryRetention retention)
{
    co_return co_await repository_.retentionImpact(retention);
}

QCoro::Task<bool> HistoryOperations::copy(Clip clip, Condition condition)
{
    // Made in a statement of its own: GCC 12 destroys temporaries of a co_await expression twice.
    QCoro::Task<CopyOutcome> copying = copyReporting(std::move(clip), std::move(condition));
    const CopyOutcome outcome = co_await std::move(copying);
    co_return outcome.written;
}

QCoro::Task<HistoryOperations::CopyOutcome> HistoryOperations::copyReporting(Clip clip, Condition condition)
{
    QPointer<HistoryOperations> self(this);
    const quint64 version = ++copyVersion_;
    const qint64 startCount = pasteboard_.changeCount();
    const auto fail = [this](const QString& message) {
        browser_.setErrorMessage(message);
        return CopyOutcome{false, message};
    };
    ClipPayload payload;
    try {
        payload = co_await repository_.payload(clip);
    } catch (const std::exception& error) {
        if (!self || copyVersion_ != version)
            co_return CopyOutcome{};
        co_return fail(Diagnostics::userMessage(error));
    }
    if (!self || copyVersion_ != version || (condition && !condition()))
        co_return CopyOutcome{};
    if (pasteboard_.changeCount() != startCount)
        co_return fail(QCoreApplication::translate("Tavlin", "The clipboard changed. Copy the record again."));
    const bool written = ClipboardCodec::restore(payload, pasteboard_);
    // Our own write, whole or partial, must never come back as a new record.
    monitor_.ignoreCurrentPasteboard();
    if (written)
        co_return CopyOutcome{true, std::nullopt};
    co_return fail(QCoreApplication::translate("Tavlin", "Could not write the data to the clipboard."));
}

QCoro::Task<bool> HistoryOperations::edit(QFuture<void> work)
{
    QPointer<HistoryOperations> self(this);
    try {
        co_await work;
    } catch (const std::exception& error) {
        if (self)
            browser_.reportError(error);
        co_return false;
    }
    co_return bool(self);
}

QCoro::Task<> HistoryOperations::setFavorite(Clip clip, bool isFavorite)
{
    QPointer<HistoryOperations> self(this);
    if (co_await edit(repository_.setFavorite(clip.id, isFavorite)) && self)
        co_await browser_.reload();
}

QCoro::Task<> HistoryOperations::deleteClip(Clip clip)
{
    ++copyVersion_; // a copy of any record still loading gives up
    co_await removal(repository_.deleteClip(clip.id), false);
}

QCoro::Task<> HistoryOperations::clear(bool keepingFavorites)
{
    ++copyVersion_;
    co_await removal(repository_.clear(keepingFavorites), true);
}

QCoro::Task<> HistoryOperations::removal(QFuture<void> work, bool manyRecords)
{
    QPointer<HistoryOperations> self(this);
    std::exception_ptr failure;
    try {
        co_await work;
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self)
        co_return;
    if (!failure && manyRecords) {
        co_await reloadAfterRemoval();
        co_return;
    }
    if (!failure) {
        co_await browser_.reload();
        co_return;
    }
    // A deletion can fail after its rows are gone, when their files could not be removed: the
    // page shows what is stored, and the error is published after the reload that clears it.
    co_await browser_.reload();
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        if (self)
            browser_.reportError(error);
    }
}

QCoro::Task<> HistoryOperations::reloadAfterRemoval()
{
    QPointer<HistoryOperations> self(this);
    co_await browser_.loadPreview(std::nullopt);
    if (!self)
        co_return;
    co_await browser_.reload();
    if (self)
        browser_.bumpPreviewRevision();
}

} // namespace tavlin
