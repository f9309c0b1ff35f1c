#pragma once

#include "CapturedClipboard.h"
#include "Clip.h"
#include "ClipPayload.h"
#include "ClipPreview.h"
#include "ClipRowPresentation.h"
#include "HistoryQuery.h"
#include "HistoryRetention.h"
#include "HistoryStore.h"
#include "HistorySummary.h"

#include <QFuture>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPromise>
#include <QThreadPool>

#include <memory>
#include <optional>

namespace tavlin {

// The one owner of the history store. Every operation runs on the repository's own worker
// thread, one at a time and in the order they were asked for, and hands its result (or its
// error, rethrown by the future) back as a QFuture. The store opens on the first operation; a
// failed open is retried by the next one.
class HistoryRepository {
public:
    struct Page {
        QList<Clip> clips;
        qint64 matchedCount = 0;
        HistorySummary summary;
        QList<ClipSourceSummary> sources;
        // Why the history is shown but cannot change, for the user; nothing when it can.
        std::optional<QString> readOnlyMessage;

        bool operator==(const Page&) const = default;
    };

    static constexpr int pageSize = 200;
    static constexpr int cacheCapacity = 64;
    static constexpr int eagerRowCount = 6;
    static constexpr qint64 maximumRowRichTextSource = 2'097'152;
    static constexpr qint64 maximumRowRichTextCharacters = 600;
    static constexpr qint64 maximumRowRichTextBytes = 131'072;

    explicit HistoryRepository(QString databasePath);
    // Waits for the operations already asked for (after stop(), only for the one under way).
    ~HistoryRepository();
    HistoryRepository(const HistoryRepository&) = delete;
    HistoryRepository& operator=(const HistoryRepository&) = delete;

    // For quitting: every operation asked for from now on, or still waiting, fails at once, and
    // a store under way is cut short and rolled back; a copy not saved that way is logged.
    void stop();

    QFuture<Page> page(const HistoryQuery& request);
    QFuture<void> setFavorite(qint64 id, bool isFavorite);
    QFuture<void> deleteClip(qint64 id);
    QFuture<void> clear(bool keepingFavorites);
    // A copy that waited to be stored gives the time it was made as `copiedAt`.
    QFuture<void> insert(const CapturedClipboard& capture, const std::optional<QString>& source,
                         const HistoryRetention& retention, const QDateTime& copiedAt = {});
    QFuture<RetentionImpact> retentionImpact(const HistoryRetention& retention);
    QFuture<RetentionImpact> applyRetention(const HistoryRetention& retention, std::optional<qint64> maximumEvictions);
    // The exact content to put back on the clipboard.
    QFuture<ClipPayload> payload(const Clip& clip);
    // Metadata and small preview of one record, cached for the last 64 computed.
    QFuture<ClipRowPresentation> rowPresentation(const Clip& clip);
    // Row presentations of the first six records of a page.
    QFuture<QHash<qint64, ClipRowPresentation>> firstRows(const QList<Clip>& clips);
    // The large preview of the preview panel, its image decoded here rather than by the panel.
    struct Preview {
        ClipPreview content;
        // Null when the preview is no image or its bytes do not decode.
        QImage image;
    };
    QFuture<Preview> preview(const Clip& clip);

private:
    // Worker-thread state: touched only from inside operations.
    struct State;

    template <class Operation>
    auto run(Operation operation) -> QFuture<decltype(operation(std::declval<State&>()))>;

    std::unique_ptr<State> state_;
    QThreadPool worker_;
};

template <class Operation>
auto HistoryRepository::run(Operation operation) -> QFuture<decltype(operation(std::declval<State&>()))>
{
    using Result = decltype(operation(std::declval<State&>()));
    auto promise = std::make_shared<QPromise<Result>>();
    QFuture<Result> future = promise->future();
    promise->start();
    worker_.start([promise, operation = std::move(operation), state = state_.get()]() mutable {
        try {
            if constexpr (std::is_void_v<Result>)
                operation(*state);
            else
                promise->addResult(operation(*state));
        } catch (...) {
            promise->setException(std::current_exception());
        }
        promise->finish();
    });
    return future;
}

} // namespace tavlin
