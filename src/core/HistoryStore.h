#pragma once

#include "Clip.h"
#include "ClipPayload.h"
#include "HistoryQuery.h"
#include "HistoryRetention.h"
#include "HistorySummary.h"
#include "SqliteStatement.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <exception>
#include <functional>
#include <optional>
#include <type_traits>

namespace tavlin {

// The history on disk: one SQLite database (table `clips`) plus one payload file per record in
// the "payloads" folder beside it. Not safe for concurrent use: its one owner, the repository,
// calls it from one thread at a time. Every write runs in a BEGIN IMMEDIATE transaction.
//
// Throws StorageError for database and record faults, FileSystemError for file-system faults and
// DecodingError for payload files that do not decode.
class HistoryStore {
public:
    static constexpr qint64 maximumClipCount = 1000;
    static constexpr qint64 maximumPayloadBytes = 33'554'432;
    static constexpr qint64 maximumStoredPayloadBytes = 268'435'456;
    static constexpr int schemaVersion = 3;
    // Milliseconds an operation waits for another connection's lock, unless told otherwise.
    static constexpr int busyTimeout = 2000;

    // Told, for the log, about a fault the store worked around without failing the operation:
    // files of evicted records that stayed, payload files set aside beside a new database,
    // records removed for a malformed file reference.
    using ProblemHandler = std::function<void(const std::exception&)>;

    // Opens or creates the database at `databasePath`, migrating it to the current schema, and
    // removes payload files that no record refers to. A current history in a folder this user
    // cannot write to opens for reading only (see readOnlyReason()). When the schema had to be created (a new,
    // emptied or deleted database) payload files found are the only copy of an earlier history:
    // they are moved into a folder of their own inside "payloads", never removed.
    // `lockWait`: the busy timeout (see setBusyTimeout) from opening on; `stop`: the stop request
    // (see setStopRequest) from opening on, which then fails.
    explicit HistoryStore(const QString& databasePath, ProblemHandler onProblem = {}, int lockWait = busyTimeout,
                          const std::atomic<bool>* stop = nullptr);
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // How long an operation waits for a lock another connection holds before it fails as busy
    // (StorageError::isBusy).
    void setBusyTimeout(int milliseconds);
    // Throws what a write would throw now for a lock another connection holds, or for a history
    // that is read-only; writes nothing. Lets a caller skip preparing a write that would fail.
    void checkWritable();

    // Once `stop` reads true, a write under way ends at its next step (an SQL statement within a
    // few thousand instructions), throwing StorageError and leaving the history as it was before
    // it. `stop` outlives the store.
    void setStopRequest(const std::atomic<bool>* stop);

    const QString& payloadDirectory() const { return payloadDirectory_; }
    // Why the history could only be opened for reading, or null: then every write throws it.
    std::exception_ptr readOnlyReason() const { return readOnlyReason_; }

    // Stores one capture unless it repeats the newest record, then evicts the oldest
    // non-favorite records beyond the limits. Favorites and the new record are never evicted; an
    // evicted row whose file reference is malformed goes without touching any file. The newest
    // record is compared inside the write transaction, so two stores on one database (two
    // processes) never both store the same capture. A valid `copiedAt` (a copy that waited to be
    // stored) is the record's time, though never older than the newest record's: the newest
    // record by id is the newest by time. Otherwise the record's time is now.
    void insert(const ClipPayload& payload, const QString& text, ClipKind kind, const std::optional<QString>& source,
                qint64 limit, qint64 payloadByteLimit, const QDateTime& copiedAt = {});
    // Plain-text form: one "public.utf8-plain-text" representation; blank text stores nothing.
    void insert(const QString& text, const std::optional<QString>& source, qint64 limit, qint64 payloadByteLimit);

    // What `retention` would delete, without changing anything.
    RetentionImpact retentionImpact(const HistoryRetention& retention);
    // Deletes what `retention` requires. Throws RetentionImpactChanged when that is more than the
    // `maximumEvictions` the user agreed to.
    RetentionImpact applyRetention(const HistoryRetention& retention, std::optional<qint64> maximumEvictions);

    // The verified payload of a record; nothing for a missing record or a legacy text row.
    std::optional<ClipPayload> loadPayload(qint64 id);

    QList<Clip> fetch(qint64 limit, const HistoryQuery& request);
    QList<Clip> fetch(qint64 limit, const QString& search);
    qint64 count(const HistoryQuery& request);
    HistorySummary summary();
    QList<ClipSourceSummary> sources();
    bool contains(qint64 id);
    void setFavorite(qint64 id, bool isFavorite);
    // Both throw the file-system error when the files of the deleted records cannot be removed;
    // the rows are gone then, and the next write or clean-up removes the files.
    void deleteClip(qint64 id);
    void clear(bool keepingFavorites);

    // The payload's SHA-256 over its items in canonical order and its metadata, lowercase hex.
    static QString fingerprint(const ClipPayload& payload);
    // A stored payload file name: exactly a UUID (either letter case) followed by ".clip".
    static bool isValidPayloadFileName(QStringView name);

    // The WHERE condition of a query and its text parameters, in the order of their "?" marks.
    struct Filter {
        QString condition;
        QStringList values;
    };
    static Filter queryFilter(const HistoryQuery& query);

private:
    struct SnapshotRow {
        qint64 id = 0;
        std::optional<QString> fileName;
        qint64 bytes = 0;
        bool isFavorite = false;
    };

    SqliteStatement prepare(const char* sql);
    SqliteStatement prepare(const QString& sql);
    void execute(const char* sql);
    void bindText(const QString& text, SqliteStatement& statement, int index);
    void bindFilter(const QStringList& values, SqliteStatement& statement);
    [[noreturn]] void throwUnavailable() const;
    void checkDone(int result) const;
    void rollback();
    // Throws once a stop is requested.
    void checkStop() const;
    void watchStopRequest();
    // Runs `body` between BEGIN IMMEDIATE and COMMIT, rolling back and rethrowing on failure.
    template <class Body>
    auto transaction(Body&& body);

    // What eviction deleted: the payload files to remove after the commit, and the records whose
    // file reference was malformed (their rows are gone, no file was touched).
    struct Evicted {
        QStringList fileNames;
        QList<qint64> malformedIDs;
    };

    // Unreferenced payload files are removed, or, while the schema is being created, moved aside.
    enum class Orphans { remove, setAside };
    struct SetAside {
        qsizetype count = 0;
        QString folder;
    };

    void open(const QString& databasePath);
    // Opens the connection for reading and writing, read-only when the database file is.
    void connect(const QString& databasePath);
    // Sets the write-ahead log's files, those that exist, to owner-only read and write; true when
    // one of them could not be written before.
    bool restrictLogFiles(const QString& databasePath);
    // A current history that cannot be written, opened for reading only; false when that fails.
    bool openReadOnly(const QString& databasePath);
    void requireWritable() const;
    // Folds the search texts again when they were folded by another version of the folding.
    void refoldSearchText();
    // The search text of a record's display text; throws once a stop is requested.
    QString searchText(const QString& text) const;
    // Inside a transaction.
    SetAside sweepPayloads(Orphans orphans);
    void cleanupOrphans();
    void cleanupOrphansAfterCommit();
    QString setAsideFolder();
    void report(const QString& detail) const;
    void finishEviction(const Evicted& evicted);
    QString payloadPath(const QString& fileName) const;
    // False when a file stayed (ENOENT aside).
    bool removeFiles(const QStringList& fileNames) const;

    static QString fingerprint(const ClipPayload& payload, QByteArray (ClipMetadata::*metadataJSON)() const);
    static bool matchesDigest(const ClipPayload& payload, const QString& digest);
    std::optional<QString> newestDigest();
    double creationTime(const QDateTime& copiedAt);
    QList<SnapshotRow> snapshot();
    Evicted prune(qint64 limit, qint64 byteLimit);
    Evicted deleteEvicted(const QList<SnapshotRow>& rows);
    static RetentionImpact impact(const QList<SnapshotRow>& rows, const HistoryRetention& retention);

    sqlite3* db_ = nullptr;
    QString payloadDirectory_;
    // Files of deleted records stayed behind (the payload folder refused): the next write or
    // clean-up tries again.
    bool orphansLeft_ = false;
    std::exception_ptr readOnlyReason_;
    ProblemHandler onProblem_;
    int busyTimeout_ = busyTimeout;
    const std::atomic<bool>* stop_ = nullptr;
};

template <class Body>
auto HistoryStore::transaction(Body&& body)
{
    requireWritable();
    execute("BEGIN IMMEDIATE");
    try {
        if constexpr (std::is_void_v<decltype(body())>) {
            body();
            execute("COMMIT");
        } else {
            auto result = body();
            execute("COMMIT");
            return result;
        }
    } catch (...) {
        rollback();
        throw;
    }
}

} // namespace tavlin
