// The write path: insert with deduplication, retention pruning and the retention operations.
#include "HistoryStore.h"

#include "ByteCountFormatter.h"
#include "ClipPayloadCoder.h"
#include "FileSystemError.h"
#include "StorageError.h"

#include <QFile>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavlin {

namespace {

const QString plainTextType = QStringLiteral("public.utf8-plain-text");

ClipPayload plainTextPayload(const QString& text)
{
    return ClipPayload{{ClipItem{{ClipRepresentation{plainTextType, text.toUtf8()}}}}, std::nullopt};
}

QString newPayloadFileName()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + QStringLiteral(".clip");
}

// Writes `bytes` to `path` through a temporary file in the same folder that is owner-only from
// its first byte, flushed to disk, then moved into place. The temporary is named like a payload
// file so that a crash mid-write leaves nothing the orphan clean-up would not remove.
void writeAtomically(const QString& folder, const QString& path, const QByteArray& bytes)
{
    const QString temporary = folder + QLatin1Char('/') + newPayloadFileName();
    const QByteArray nativeTemporary = QFile::encodeName(temporary);
    const int fd = ::open(nativeTemporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        FileSystemError::throwErrno(temporary);
    auto fail = [&](int error, const QString& where) {
        ::close(fd);
        ::unlink(nativeTemporary.constData());
        throw FileSystemError(error, where);
    };
    qint64 written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(fd, bytes.constData() + written,
                                      static_cast<std::size_t>(bytes.size() - written));
        if (count < 0) {
            if (errno == EINTR)
                continue;
            fail(errno, temporary);
        }
        written += count;
    }
    if (::fsync(fd) != 0)
        fail(errno, temporary);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(nativeTemporary.constData());
        throw FileSystemError(error, temporary);
    }
    if (::rename(nativeTemporary.constData(), QFile::encodeName(path).constData()) != 0) {
        const int error = errno;
        ::unlink(nativeTemporary.constData());
        throw FileSystemError(error, path);
    }
}

struct Totals {
    qint64 count = 0;
    qint64 bytes = 0;
};

template <class Row>
Totals totals(const QList<Row>& rows)
{
    Totals sum;
    for (const Row& row : rows) {
        ++sum.count;
        sum.bytes += row.bytes;
    }
    return sum;
}

// Walks from the oldest row and picks non-favorites (and never `keptID`) until what remains is
// within both limits.
template <class Row>
QList<Row> oldestBeyondLimits(const QList<Row>& rows, qint64 countLimit, qint64 bytesLimit,
                              std::optional<qint64> keptID = std::nullopt)
{
    Totals remaining = totals(rows);
    QList<Row> evicted;
    for (const Row& row : rows) {
        if (row.isFavorite || row.id == keptID)
            continue;
        if (remaining.count <= countLimit && remaining.bytes <= bytesLimit)
            break;
        evicted.append(row);
        --remaining.count;
        remaining.bytes -= row.bytes;
    }
    return evicted;
}

double secondsSince1970()
{
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

} // namespace

void HistoryStore::insert(const QString& text, const std::optional<QString>& source, qint64 limit,
                          qint64 payloadByteLimit)
{
    if (text.trimmed().isEmpty())
        return;
    insert(plainTextPayload(text), text, ClipKind::text, source, limit, payloadByteLimit);
}

std::optional<QString> HistoryStore::newestDigest()
{
    SqliteStatement statement = prepare(
        "SELECT payload_digest, text, kind, payload_filename, payload_bytes FROM clips ORDER BY id DESC LIMIT 1");
    const int result = statement.step();
    if (result == SQLITE_DONE)
        return std::nullopt;
    if (result != SQLITE_ROW)
        throwUnavailable();
    if (std::optional<QString> digest = statement.text(0))
        return digest;
    const bool legacy = statement.text(2) == QStringLiteral("text") && statement.isNull(3) && statement.int64(4) == 0;
    if (legacy) {
        if (const std::optional<QString> text = statement.text(1))
            return fingerprint(plainTextPayload(*text));
    }
    return std::nullopt;
}

double HistoryStore::creationTime(const QDateTime& copiedAt)
{
    if (!copiedAt.isValid())
        return secondsSince1970();
    const double copied = double(copiedAt.toMSecsSinceEpoch()) / 1000.0;
    SqliteStatement statement = prepare("SELECT created_at FROM clips ORDER BY id DESC LIMIT 1");
    const int result = statement.step();
    if (result == SQLITE_DONE)
        return copied;
    if (result != SQLITE_ROW)
        throwUnavailable();
    return std::max(copied, statement.real(0));
}

void HistoryStore::insert(const ClipPayload& payload, const QString& text, ClipKind kind,
                          const std::optional<QString>& source, qint64 limit, qint64 payloadByteLimit,
                          const QDateTime& copiedAt)
{
    checkStop();
    // A list of many files is refused before its digest and encoding are worked out: its paths
    // and names alone may pass the limit.
    if (ClipPayloadCoder::minimumEncodedSize(payload) > maximumPayloadBytes)
        throw StorageError(StorageError::recordTooLargeText(ByteCountFormatter::format(maximumPayloadBytes)));
    const QString digest = fingerprint(payload);
    checkStop();
    const QByteArray encoded = ClipPayloadCoder::encode(payload);
    if (encoded.size() > maximumPayloadBytes)
        throw StorageError(StorageError::recordTooLargeText(ByteCountFormatter::format(maximumPayloadBytes)));
    checkStop();

    const QString fileName = newPayloadFileName();
    const QString path = payloadDirectory_ + QLatin1Char('/') + fileName;
    Evicted evicted;
    bool fileWritten = false;
    try {
        evicted = transaction([&] {
            // Compared under the write lock: another process storing the same capture meanwhile
            // is seen here, so the capture is stored once.
            if (newestDigest() == digest)
                return Evicted{}; // the capture repeats the newest record
            writeAtomically(payloadDirectory_, path, encoded);
            fileWritten = true;
            if (::chmod(QFile::encodeName(path).constData(), 0600) != 0)
                FileSystemError::throwErrno(path);
            checkStop();

            SqliteStatement statement = prepare(
                "INSERT INTO clips(text, created_at, source, search_text, kind, payload_filename, payload_bytes, "
                "payload_digest) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
            bindText(text, statement, 1);
            if (statement.bindDouble(2, creationTime(copiedAt)) != SQLITE_OK)
                throwUnavailable();
            if (source)
                bindText(*source, statement, 3);
            else if (statement.bindNull(3) != SQLITE_OK)
                throwUnavailable();
            bindText(searchText(text), statement, 4);
            bindText(toRaw(kind), statement, 5);
            bindText(fileName, statement, 6);
            if (statement.bindInt64(7, encoded.size()) != SQLITE_OK)
                throwUnavailable();
            bindText(digest, statement, 8);
            checkDone(statement.step());
            Evicted pruned = prune(limit, payloadByteLimit);
            checkStop();
            return pruned;
        });
    } catch (...) {
        if (fileWritten)
            ::unlink(QFile::encodeName(path).constData());
        throw;
    }
    finishEviction(evicted);
}

QList<HistoryStore::SnapshotRow> HistoryStore::snapshot()
{
    SqliteStatement statement = prepare(
        "SELECT id, payload_filename, payload_bytes, is_favorite FROM clips ORDER BY id ASC");
    QList<SnapshotRow> rows;
    int result = SQLITE_ROW;
    while ((result = statement.step()) == SQLITE_ROW)
        rows.append({statement.int64(0), statement.text(1), statement.int64(2), statement.int64(3) != 0});
    checkDone(result);
    return rows;
}

HistoryStore::Evicted HistoryStore::prune(qint64 limit, qint64 byteLimit)
{
    const QList<SnapshotRow> rows = snapshot();
    const qint64 newID = sqlite3_last_insert_rowid(db_);

    qint64 favoriteCount = 0;
    qint64 favoriteBytes = 0;
    std::optional<qint64> newBytes;
    for (const SnapshotRow& row : rows) {
        if (row.isFavorite) {
            ++favoriteCount;
            favoriteBytes += row.bytes;
        } else if (row.id == newID && !newBytes) {
            newBytes = row.bytes;
        }
    }

    // Room is always kept for the favorites plus the record being inserted; the hard ceilings
    // hold whatever the user chose.
    const qint64 countLimit = std::min(std::max({limit, qint64(1), favoriteCount + 1}), maximumClipCount);
    const qint64 bytesLimit = std::min(std::max({byteLimit, favoriteBytes + newBytes.value_or(0), qint64(0)}),
                                       maximumStoredPayloadBytes);

    const QList<SnapshotRow> evicted = oldestBeyondLimits(rows, countLimit, bytesLimit, newID);
    const Totals all = totals(rows);
    const Totals gone = totals(evicted);
    if (all.count - gone.count > maximumClipCount || all.bytes - gone.bytes > maximumStoredPayloadBytes)
        throw StorageError(StorageError::favoritesFillHistoryText());
    return deleteEvicted(evicted);
}

HistoryStore::Evicted HistoryStore::deleteEvicted(const QList<SnapshotRow>& rows)
{
    // A malformed file reference never becomes a path: its row goes, no file is touched. Failing
    // instead would fail every later insert once the history is full.
    Evicted evicted;
    for (const SnapshotRow& row : rows) {
        if (row.fileName && isValidPayloadFileName(*row.fileName))
            evicted.fileNames.append(*row.fileName);
        else if (row.fileName)
            evicted.malformedIDs.append(row.id);
    }
    SqliteStatement statement = prepare("DELETE FROM clips WHERE id = ? AND CAST(is_favorite AS INTEGER) = 0");
    for (const SnapshotRow& row : rows) {
        statement.reset();
        if (statement.bindInt64(1, row.id) != SQLITE_OK)
            throwUnavailable();
        checkDone(statement.step());
    }
    return evicted;
}

void HistoryStore::finishEviction(const Evicted& evicted)
{
    if (orphansLeft_) {
        // Files of earlier deletions are still there: one sweep removes them with these.
        try {
            cleanupOrphans();
        } catch (const std::exception& error) {
            if (onProblem_)
                onProblem_(error);
        }
    } else if (!removeFiles(evicted.fileNames)) {
        orphansLeft_ = true;
        report(QStringLiteral("Files of evicted records could not be removed from %1; they are tried again later")
                   .arg(payloadDirectory_));
    }
    if (evicted.malformedIDs.isEmpty())
        return;
    QStringList ids;
    for (const qint64 id : evicted.malformedIDs)
        ids.append(QString::number(id));
    report(QStringLiteral("Evicted records with a malformed reference to clipboard data (%1); no file was touched")
               .arg(ids.join(QStringLiteral(", "))));
}

RetentionImpact HistoryStore::impact(const QList<SnapshotRow>& rows, const HistoryRetention& retention)
{
    RetentionImpact result;
    const Totals all = totals(rows);
    result.totalCount = all.count;
    result.totalBytes = all.bytes;
    for (const SnapshotRow& row : rows) {
        if (row.isFavorite) {
            ++result.favoriteCount;
            result.favoriteBytes += row.bytes;
        }
    }
    // Unlike pruning, nothing is reserved for a new record.
    const qint64 countLimit = std::clamp(retention.clipCount, qint64(1), maximumClipCount);
    const qint64 bytesLimit = std::clamp(retention.payloadBytes, qint64(0), maximumStoredPayloadBytes);
    const Totals evicted = totals(oldestBeyondLimits(rows, countLimit, bytesLimit));
    result.evictedCount = evicted.count;
    result.evictedBytes = evicted.bytes;
    result.isFeasible = countLimit >= result.favoriteCount && bytesLimit >= result.favoriteBytes;
    return result;
}

RetentionImpact HistoryStore::retentionImpact(const HistoryRetention& retention)
{
    return impact(snapshot(), retention);
}

RetentionImpact HistoryStore::applyRetention(const HistoryRetention& retention, std::optional<qint64> maximumEvictions)
{
    if (!retention.isSupported())
        throw StorageError(StorageError::unsupportedLimitText());

    RetentionImpact found;
    const Evicted evicted = transaction([&] {
        const QList<SnapshotRow> rows = snapshot();
        found = impact(rows, retention);
        if (!found.isFeasible)
            throw StorageError(StorageError::favoritesDontFitText());
        if (maximumEvictions && found.evictedCount > *maximumEvictions)
            throw RetentionImpactChanged(found);

        const QList<SnapshotRow> doomed = oldestBeyondLimits(rows, retention.clipCount, retention.payloadBytes);
        return deleteEvicted(doomed);
    });
    finishEviction(evicted);
    return found;
}

} // namespace tavlin
