#include "HistoryRepository.h"

#include "ClipDetails.h"
#include "ClipboardReadError.h"
#include "Diagnostics.h"
#include "Log.h"
#include "PasteboardTypes.h"
#include "PayloadPreview.h"
#include "RichTextPresentation.h"
#include "RichTextWriter.h"
#include "StorageError.h"

#include <QCoreApplication>
#include <QTextDocument>

namespace tavlin {

struct HistoryRepository::State {
    QString databasePath;
    std::unique_ptr<HistoryStore> store;
    // Row presentations with the exact record each was built for; `cacheOrder` lists their ids
    // in order of computation, oldest first, so eviction follows computation, not use.
    QHash<qint64, std::pair<Clip, ClipRowPresentation>> rowCache;
    QList<qint64> cacheOrder;
    // Once the user has applied limits, they win over whatever a caller passes to insert.
    std::optional<HistoryRetention> appliedRetention;
    std::optional<QString> readOnlyMessage;
    // Set from the main thread by stop().
    std::atomic<bool> stopped = false;

    // `lockWait`: how long this operation, the opening included, waits for another program's
    // lock.
    HistoryStore& openStore(int lockWait = HistoryStore::busyTimeout)
    {
        if (stopped)
            throw StorageError(QStringLiteral("Tavlin is quitting"), StorageError::Kind::unavailable);
        if (store) {
            store->setBusyTimeout(lockWait);
        } else {
            // Faults the store works around are worth a log line, not a failure.
            store = std::make_unique<HistoryStore>(
                databasePath, [](const std::exception& error) { Diagnostics::userMessage(error); }, lockWait, &stopped);
            if (const std::exception_ptr reason = store->readOnlyReason()) {
                try {
                    std::rethrow_exception(reason);
                } catch (const std::exception& error) {
                    readOnlyMessage = QCoreApplication::translate("Tavlin", "The history can’t be changed: %1")
                                          .arg(Diagnostics::userMessage(error));
                }
            }
        }
        return *store;
    }

    void forget(qint64 id)
    {
        rowCache.remove(id);
        cacheOrder.removeAll(id);
    }

    void forgetAll()
    {
        rowCache.clear();
        cacheOrder.clear();
    }

    ClipPayload payload(const Clip& clip)
    {
        HistoryStore& history = openStore();
        if (!history.contains(clip.id)) {
            throw ClipboardReadError(
                QCoreApplication::translate("Tavlin", "This record has already been deleted from history."));
        }
        if (std::optional<ClipPayload> stored = history.loadPayload(clip.id))
            return *std::move(stored);
        // Records from before payload files existed are plain text.
        if (clip.kind == ClipKind::text || clip.kind == ClipKind::link)
            return {{ClipItem{{{PasteboardTypes::plainText, clip.text.toUtf8()}}}}, std::nullopt};
        throw ClipboardReadError(
            QCoreApplication::translate("Tavlin", "The original data of this record is unavailable."));
    }

    ClipRowPresentation rowPresentation(const Clip& clip)
    {
        const auto cached = rowCache.constFind(clip.id);
        if (cached != rowCache.cend() && cached->first == clip)
            return cached->second;

        const ClipPayload stored = payload(clip);
        ClipRowPresentation row;
        row.metadata = stored.metadata ? *stored.metadata : ClipDetails::capture(stored, clip.text, clip.kind);
        row.preview = rowPreview(stored, clip.kind, row.metadata);
        if (row.preview.kind == ClipPreview::Case::image)
            row.image = ClipRowPresentation::decodeImage(row.preview.data);

        rowCache.insert(clip.id, {clip, row});
        cacheOrder.removeAll(clip.id);
        cacheOrder.append(clip.id);
        while (cacheOrder.size() > cacheCapacity)
            rowCache.remove(cacheOrder.takeFirst());
        return row;
    }

    static ClipPreview rowPreview(const ClipPayload& payload, ClipKind kind, const ClipMetadata& metadata)
    {
        if (metadata.thumbnail)
            return ClipPreview::image(*metadata.thumbnail);
        if (kind != ClipKind::richText)
            return ClipPreview::text();
        // Only the first rich-text representation small enough is tried; rows fall back to text.
        for (const ClipItem& item : payload.items) {
            for (const ClipRepresentation& representation : item.representations) {
                const bool isRichText = representation.type == PasteboardTypes::rtf
                    || representation.type == PasteboardTypes::flatRTFD;
                if (!isRichText || representation.data.size() > maximumRowRichTextSource)
                    continue;
                const std::unique_ptr<QTextDocument> document = RichTextPresentation::attributed(
                    representation.data, representation.type, maximumRowRichTextCharacters);
                if (!document)
                    return ClipPreview::text();
                const std::optional<QByteArray> rtf = RichTextWriter::rtf(*document);
                if (!rtf || rtf->size() > maximumRowRichTextBytes)
                    return ClipPreview::text();
                return ClipPreview::richText(*rtf, PasteboardTypes::rtf);
            }
        }
        return ClipPreview::text();
    }
};

HistoryRepository::HistoryRepository(QString databasePath) : state_(std::make_unique<State>())
{
    state_->databasePath = std::move(databasePath);
    worker_.setMaxThreadCount(1);
    // Keep the thread (and its SQLite connection's caches warm) for the life of the repository.
    worker_.setExpiryTimeout(-1);
}

HistoryRepository::~HistoryRepository()
{
    worker_.waitForDone();
}

void HistoryRepository::stop()
{
    state_->stopped = true;
}

QFuture<HistoryRepository::Page> HistoryRepository::page(const HistoryQuery& request)
{
    return run([request](State& state) {
        HistoryStore& store = state.openStore();
        Page page;
        page.clips = store.fetch(pageSize, request);
        page.matchedCount = store.count(request);
        page.summary = store.summary();
        page.sources = store.sources();
        page.readOnlyMessage = state.readOnlyMessage;
        return page;
    });
}

QFuture<void> HistoryRepository::setFavorite(qint64 id, bool isFavorite)
{
    // The cached entry keeps its old record value, so the next lookup misses and rebuilds.
    return run([id, isFavorite](State& state) { state.openStore().setFavorite(id, isFavorite); });
}

QFuture<void> HistoryRepository::deleteClip(qint64 id)
{
    return run([id](State& state) {
        state.openStore().deleteClip(id);
        state.forget(id);
    });
}

QFuture<void> HistoryRepository::clear(bool keepingFavorites)
{
    return run([keepingFavorites](State& state) {
        state.openStore().clear(keepingFavorites);
        state.forgetAll();
    });
}

QFuture<void> HistoryRepository::insert(const CapturedClipboard& capture, const std::optional<QString>& source,
                                        const HistoryRetention& retention, const QDateTime& copiedAt)
{
    return run([capture, source, retention, copiedAt](State& state) {
        // A capture never waits for another program's lock, not even to open the history: the
        // reads asked for after it would wait too. Refused as busy, it is offered again on a
        // later tick, so the lock is looked at before its metadata and encoding are worked out.
        try {
            HistoryStore& store = state.openStore(0);
            store.checkWritable();
            ClipPayload payload = capture.payload;
            payload.metadata = ClipDetails::capture(capture.payload, capture.text, capture.kind);
            const HistoryRetention limits = state.appliedRetention.value_or(retention);
            store.insert(payload, capture.text, capture.kind, source, limits.clipCount, limits.payloadBytes, copiedAt);
        } catch (const std::exception& error) {
            if (state.stopped) {
                Log::error(QStringLiteral("A copy was not saved: Tavlin quit while it was being stored (%1); the "
                                          "history is as it was before it")
                               .arg(QString::fromUtf8(error.what())));
            }
            throw;
        }
    });
}

QFuture<RetentionImpact> HistoryRepository::retentionImpact(const HistoryRetention& retention)
{
    return run([retention](State& state) { return state.openStore().retentionImpact(retention); });
}

QFuture<RetentionImpact> HistoryRepository::applyRetention(const HistoryRetention& retention,
                                                           std::optional<qint64> maximumEvictions)
{
    return run([retention, maximumEvictions](State& state) {
        const RetentionImpact impact = state.openStore().applyRetention(retention, maximumEvictions);
        state.appliedRetention = retention;
        if (impact.evictedCount >= 1)
            state.forgetAll();
        return impact;
    });
}

QFuture<ClipPayload> HistoryRepository::payload(const Clip& clip)
{
    return run([clip](State& state) { return state.payload(clip); });
}

QFuture<ClipRowPresentation> HistoryRepository::rowPresentation(const Clip& clip)
{
    return run([clip](State& state) { return state.rowPresentation(clip); });
}

QFuture<QHash<qint64, ClipRowPresentation>> HistoryRepository::firstRows(const QList<Clip>& clips)
{
    return run([clips](State& state) {
        QHash<qint64, ClipRowPresentation> rows;
        for (const Clip& clip : clips.first(std::min<qsizetype>(clips.size(), eagerRowCount))) {
            // A damaged, missing or unreadable payload affects only its own row, which reports
            // it when asked for; a database that cannot be read fails them all.
            try {
                rows.insert(clip.id, state.rowPresentation(clip));
            } catch (const StorageError& error) {
                if (error.kind() != StorageError::Kind::damagedRecord)
                    throw;
                Diagnostics::userMessage(error);
            } catch (const std::exception& error) {
                Diagnostics::userMessage(error);
            }
        }
        return rows;
    });
}

QFuture<HistoryRepository::Preview> HistoryRepository::preview(const Clip& clip)
{
    return run([clip](State& state) -> Preview {
        switch (clip.kind) {
        case ClipKind::richText: return {PayloadPreview::make(state.payload(clip), clip.kind), {}};
        case ClipKind::image: {
            ClipPreview content = PayloadPreview::make(state.payload(clip), clip.kind);
            QImage image = QImage::fromData(content.data);
            return {std::move(content), std::move(image)};
        }
        case ClipKind::file: {
            const ClipRowPresentation row = state.rowPresentation(clip);
            return {row.preview, row.image};
        }
        case ClipKind::text:
        case ClipKind::link:
        case ClipKind::other: break;
        }
        return {ClipPreview::text(), {}};
    });
}

} // namespace tavlin
