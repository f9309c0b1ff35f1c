#include "HistoryStore.h"

#include "FileSystemError.h"
#include "StorageError.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <cerrno>
#include <climits>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavlin {

namespace {

const char* const createTableSQL =
    "CREATE TABLE IF NOT EXISTS clips (id INTEGER PRIMARY KEY, text TEXT NOT NULL, created_at REAL NOT NULL, "
    "source TEXT, search_text TEXT NOT NULL, kind TEXT NOT NULL DEFAULT 'text', payload_filename TEXT, "
    "payload_digest TEXT, payload_bytes INTEGER NOT NULL DEFAULT 0, is_favorite INTEGER NOT NULL DEFAULT 0)";

QByteArray nativePath(const QString& path)
{
    return QFile::encodeName(path);
}

// mkdir -p, each new folder owner-only from the start.
void createFolders(const QString& path)
{
    const QString clean = QDir::cleanPath(path);
    qsizetype position = clean.startsWith(QLatin1Char('/')) ? 1 : 0;
    while (position <= clean.size()) {
        qsizetype next = clean.indexOf(QLatin1Char('/'), position);
        if (next < 0)
            next = clean.size();
        const QString prefix = clean.left(next);
        if (!prefix.isEmpty() && ::mkdir(nativePath(prefix).constData(), 0700) != 0) {
            const int error = errno;
            struct stat info { };
            if (error != EEXIST || ::stat(nativePath(prefix).constData(), &info) != 0)
                throw FileSystemError(error, prefix);
            if (!S_ISDIR(info.st_mode))
                throw FileSystemError(ENOTDIR, prefix);
        }
        position = next + 1;
    }
}

void setPermissions(const QString& path, mode_t mode)
{
    if (::chmod(nativePath(path).constData(), mode) != 0)
        FileSystemError::throwErrno(path);
}

bool exists(const QString& path)
{
    struct stat info { };
    return ::lstat(nativePath(path).constData(), &info) == 0;
}

} // namespace

HistoryStore::HistoryStore(const QString& databasePath, ProblemHandler onProblem, int lockWait,
                           const std::atomic<bool>* stop)
    : onProblem_(std::move(onProblem)), busyTimeout_(lockWait), stop_(stop)
{
    const QString folder = QFileInfo(databasePath).absolutePath();
    payloadDirectory_ = folder + QStringLiteral("/payloads");

    try {
        createFolders(folder);
        createFolders(payloadDirectory_);
        setPermissions(folder, 0700);
        setPermissions(payloadDirectory_, 0700);
        open(databasePath);
    } catch (...) {
        sqlite3_close(db_);
        db_ = nullptr;
        // A history in a folder this user may not write to (a read-only disk, another owner) is
        // still the user's history: it is shown as it stands, and every write reports why not.
        const auto mayWrite = [](const QString& path) {
            return !exists(path) || ::access(nativePath(path).constData(), W_OK) == 0;
        };
        const bool writable = ::access(nativePath(folder).constData(), W_OK) == 0 && mayWrite(databasePath)
            && mayWrite(databasePath + QStringLiteral("-wal")) && mayWrite(databasePath + QStringLiteral("-shm"));
        if (writable || !openReadOnly(databasePath))
            throw;
        readOnlyReason_ = std::current_exception();
    }
}

bool HistoryStore::openReadOnly(const QString& databasePath)
{
    // "mode=ro" reads what a write-ahead log still holds, but needs its index file to exist or
    // be creatable; "immutable=1" reads the database file alone.
    const QByteArray url = QUrl::fromLocalFile(databasePath).toEncoded();
    for (const char* options : {"?mode=ro", "?immutable=1"}) {
        const int opened = sqlite3_open_v2((url + options).constData(), &db_,
                                           SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_FULLMUTEX, nullptr);
        // Only a history of the current schema: an older one cannot be brought up to date.
        const auto answers = [this](const char* sql, int expected) {
            sqlite3_stmt* statement = nullptr;
            const bool answered = sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) == SQLITE_OK
                && sqlite3_step(statement) == SQLITE_ROW
                && (expected < 0 || sqlite3_column_int(statement, 0) == expected);
            sqlite3_finalize(statement);
            return answered;
        };
        if (opened == SQLITE_OK && answers("PRAGMA user_version", schemaVersion)
            && answers("SELECT COUNT(*) FROM clips", -1))
            return true;
        sqlite3_close(db_);
        db_ = nullptr;
    }
    return false;
}

void HistoryStore::requireWritable() const
{
    if (readOnlyReason_)
        std::rethrow_exception(readOnlyReason_);
}

HistoryStore::~HistoryStore()
{
    sqlite3_close(db_);
}

void HistoryStore::connect(const QString& databasePath)
{
    const QByteArray path = nativePath(databasePath);
    const int opened = sqlite3_open_v2(path.constData(), &db_,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (opened != SQLITE_OK) {
        const QString detail = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("database is not open");
        throw StorageError(detail, StorageError::Kind::unavailable);
    }
    setBusyTimeout(busyTimeout_);
    watchStopRequest();
}

bool HistoryStore::restrictLogFiles(const QString& databasePath)
{
    bool wasReadOnly = false;
    for (const QString& suffix : {QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        const QString path = databasePath + suffix;
        struct stat info { };
        if (::lstat(nativePath(path).constData(), &info) != 0)
            continue;
        wasReadOnly = wasReadOnly || (info.st_mode & S_IWUSR) == 0;
        setPermissions(path, 0600);
    }
    return wasReadOnly;
}

void HistoryStore::open(const QString& databasePath)
{
    connect(databasePath);

    int version = 0;
    {
        SqliteStatement statement = prepare("PRAGMA user_version");
        if (statement.step() != SQLITE_ROW)
            throwUnavailable();
        version = statement.int32(0);
    }
    // Any value outside 0...3, a negative one included, is a history this build cannot read; the
    // file is left exactly as it is.
    if (static_cast<unsigned>(version) > static_cast<unsigned>(schemaVersion)) {
        throw StorageError(QStringLiteral("Unsupported history database version %1").arg(version),
                           StorageError::Kind::newerHistory);
    }

    // SQLite opens a database its owner made read-only for reading only, and gives the log files
    // it creates the database's mode; a log file left read-only keeps every later connection from
    // writing. With their permissions set, a new connection writes.
    setPermissions(databasePath, 0600);
    if (restrictLogFiles(databasePath) || sqlite3_db_readonly(db_, "main") == 1) {
        sqlite3_close(db_);
        db_ = nullptr;
        connect(databasePath);
    }
    execute("PRAGMA journal_mode=WAL");
    SetAside setAside;
    transaction([&] {
        switch (version) {
        case 0:
            execute(createTableSQL);
            // A database whose schema is created now refers to no file: payload files present
            // belong to a history whose database was lost or emptied, and are the only copy of
            // its records. They are moved aside before the new schema commits, so an opening
            // that fails half-way leaves version 0 and the next one does it again.
            setAside = sweepPayloads(Orphans::setAside);
            break;
        case 1:
            execute("ALTER TABLE clips ADD COLUMN kind TEXT NOT NULL DEFAULT 'text'");
            execute("ALTER TABLE clips ADD COLUMN payload_filename TEXT");
            execute("ALTER TABLE clips ADD COLUMN payload_digest TEXT");
            execute("ALTER TABLE clips ADD COLUMN payload_bytes INTEGER NOT NULL DEFAULT 0");
            execute("ALTER TABLE clips ADD COLUMN is_favorite INTEGER NOT NULL DEFAULT 0");
            break;
        case 2: execute("ALTER TABLE clips ADD COLUMN is_favorite INTEGER NOT NULL DEFAULT 0"); break;
        default: break;
        }
        execute("PRAGMA user_version=3");
        refoldSearchText();
    });

    restrictLogFiles(databasePath);
    if (setAside.count > 0) {
        report(QStringLiteral("The history database was created anew beside %1 payload files of an earlier history; "
                              "they were moved to %2, not deleted")
                   .arg(setAside.count)
                   .arg(setAside.folder));
    }
    cleanupOrphans();
}

void HistoryStore::setBusyTimeout(int milliseconds)
{
    busyTimeout_ = milliseconds;
    sqlite3_busy_timeout(db_, milliseconds);
}

void HistoryStore::setStopRequest(const std::atomic<bool>* stop)
{
    stop_ = stop;
    watchStopRequest();
}

void HistoryStore::watchStopRequest()
{
    if (!db_ || !stop_)
        return;
    sqlite3_progress_handler(
        db_, 1000, [](void* stop) { return static_cast<const std::atomic<bool>*>(stop)->load() ? 1 : 0; },
        const_cast<std::atomic<bool>*>(stop_));
}

void HistoryStore::checkStop() const
{
    if (stop_ && stop_->load())
        throw StorageError(QStringLiteral("stopped before it was saved"), StorageError::Kind::unavailable);
}

void HistoryStore::checkWritable()
{
    transaction([] {});
}

SqliteStatement HistoryStore::prepare(const char* sql)
{
    if (!db_)
        throw StorageError(QStringLiteral("database is not open"), StorageError::Kind::unavailable);
    sqlite3_stmt* statement = nullptr;
    const int result = sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr);
    if (result != SQLITE_OK || !statement) {
        sqlite3_finalize(statement);
        throwUnavailable();
    }
    return SqliteStatement(statement);
}

SqliteStatement HistoryStore::prepare(const QString& sql)
{
    return prepare(sql.toUtf8().constData());
}

void HistoryStore::execute(const char* sql)
{
    if (!db_)
        throw StorageError(QStringLiteral("database is not open"), StorageError::Kind::unavailable);
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throwUnavailable();
}

void HistoryStore::bindText(const QString& text, SqliteStatement& statement, int index)
{
    const QByteArray utf8 = text.toUtf8();
    if (utf8.size() > INT_MAX)
        throw StorageError(StorageError::textTooLargeText());
    if (sqlite3_bind_text(statement.get(), index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT)
        != SQLITE_OK)
        throwUnavailable();
}

void HistoryStore::throwUnavailable() const
{
    const QString detail = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("database is not open");
    const int code = db_ ? sqlite3_errcode(db_) & 0xff : SQLITE_OK;
    throw StorageError(detail, StorageError::Kind::unavailable, code == SQLITE_BUSY || code == SQLITE_LOCKED);
}

void HistoryStore::checkDone(int result) const
{
    if (result != SQLITE_DONE)
        throwUnavailable();
}

void HistoryStore::rollback()
{
    // The first error is the one worth reporting; a failed rollback adds nothing to it.
    if (!db_)
        return;
    // A stop request never cuts the rollback itself short.
    sqlite3_progress_handler(db_, 0, nullptr, nullptr);
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    watchStopRequest();
}

void HistoryStore::cleanupOrphans()
{
    transaction([&] { sweepPayloads(Orphans::remove); });
    orphansLeft_ = false;
}

HistoryStore::SetAside HistoryStore::sweepPayloads(Orphans orphans)
{
    SetAside setAside;
    QSet<QString> referenced;
    SqliteStatement statement = prepare("SELECT payload_filename FROM clips WHERE payload_filename IS NOT NULL");
    int result = SQLITE_ROW;
    while ((result = statement.step()) == SQLITE_ROW) {
        const std::optional<QString> name = statement.text(0);
        if (!name)
            throwUnavailable();
        referenced.insert(*name);
    }
    checkDone(result);

    const QByteArray folder = nativePath(payloadDirectory_);
    DIR* listing = ::opendir(folder.constData());
    if (!listing)
        FileSystemError::throwErrno(payloadDirectory_);
    QStringList entries;
    errno = 0;
    while (const dirent* entry = ::readdir(listing))
        entries.append(QFile::decodeName(entry->d_name));
    const int listingError = errno;
    ::closedir(listing);
    if (listingError != 0)
        throw FileSystemError(listingError, payloadDirectory_);

    for (const QString& name : std::as_const(entries)) {
        // Only files named exactly like payload files are ours to touch.
        if (!isValidPayloadFileName(name))
            continue;
        const QString path = payloadDirectory_ + QLatin1Char('/') + name;
        struct stat info { };
        if (::lstat(nativePath(path).constData(), &info) != 0)
            FileSystemError::throwErrno(path);
        const bool isLink = S_ISLNK(info.st_mode);
        const bool isRegular = S_ISREG(info.st_mode);
        if (referenced.contains(name)) {
            if (isRegular && !isLink)
                setPermissions(path, 0600);
        } else if (isRegular && orphans == Orphans::setAside) {
            if (setAside.folder.isEmpty())
                setAside.folder = setAsideFolder();
            const QString target = setAside.folder + QLatin1Char('/') + name;
            if (::rename(nativePath(path).constData(), nativePath(target).constData()) != 0)
                FileSystemError::throwErrno(path);
            ++setAside.count;
        } else if (isRegular || isLink) {
            if (::unlink(nativePath(path).constData()) != 0)
                FileSystemError::throwErrno(path);
        }
    }
    return setAside;
}

QString HistoryStore::setAsideFolder()
{
    // Inside "payloads", so it stays private; the clean-up never enters folders.
    const QString base = payloadDirectory_ + QStringLiteral("/unreferenced-")
        + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QString folder = base;
    for (int serial = 2; ::mkdir(nativePath(folder).constData(), 0700) != 0; ++serial) {
        if (errno != EEXIST)
            FileSystemError::throwErrno(folder);
        folder = base + QStringLiteral("-%1").arg(serial);
    }
    return folder;
}

void HistoryStore::report(const QString& detail) const
{
    if (onProblem_)
        onProblem_(StorageError(detail, StorageError::Kind::damagedRecord));
}

void HistoryStore::cleanupOrphansAfterCommit()
{
    // The records are already gone, but their contents are not until the files are: a failure
    // is the caller's to report, and the next write or clean-up tries again.
    try {
        cleanupOrphans();
    } catch (...) {
        orphansLeft_ = true;
        throw;
    }
}

} // namespace tavlin
