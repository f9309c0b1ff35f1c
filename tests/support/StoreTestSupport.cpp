#include "StoreTestSupport.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>

#include <stdexcept>

namespace tavlin::test {

namespace {

struct Connection {
    sqlite3* db = nullptr;
    explicit Connection(const QString& path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr)
            != SQLITE_OK)
            throw std::runtime_error("cannot open test database");
        sqlite3_busy_timeout(db, 2000);
    }
    ~Connection() { sqlite3_close(db); }

    template <class Row>
    void query(const QString& sql, Row&& row)
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("bad test SQL: ") + sqlite3_errmsg(db));
        int result;
        while ((result = sqlite3_step(statement)) == SQLITE_ROW)
            row(statement);
        sqlite3_finalize(statement);
        if (result != SQLITE_DONE)
            throw std::runtime_error(std::string("test SQL failed: ") + sqlite3_errmsg(db));
    }
};

} // namespace

void executeSQL(const QString& databasePath, const QString& sql)
{
    Connection connection(databasePath);
    char* error = nullptr;
    if (sqlite3_exec(connection.db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "unknown";
        sqlite3_free(error);
        throw std::runtime_error("test SQL failed: " + message);
    }
}

void fillHistory(const QString& databasePath, int count, const QStringList& sources, qint64 bytes)
{
    HistoryStore open(databasePath); // creates the schema
    QString sql = QStringLiteral("BEGIN;");
    for (int i = 0; i < count; ++i) {
        const QString source = sources.isEmpty() ? QStringLiteral("NULL")
                                                 : QLatin1Char('\'') + sources[i % sources.size()] + QLatin1Char('\'');
        sql += QStringLiteral("INSERT INTO clips(text, created_at, source, search_text, kind, payload_bytes) "
                              "VALUES ('r', %1, %2, 'r', 'text', %3);")
                   .arg(i + 1)
                   .arg(source)
                   .arg(bytes);
    }
    executeSQL(databasePath, sql + QStringLiteral("COMMIT;"));
}

void storeHistory(const QString& databasePath, int count, const QStringList& sources)
{
    HistoryStore store(databasePath);
    for (int i = 0; i < count; ++i) {
        // A second format of its own tells each record from the one before: the store keeps no
        // copy that repeats the newest record.
        const ClipPayload payload{{ClipItem{{{QStringLiteral("public.utf8-plain-text"), "r"},
                                             {QStringLiteral("org.tavlin.test.serial"), QByteArray::number(i)}}}},
                                  std::nullopt};
        const std::optional<QString> source = sources.isEmpty() ? std::nullopt
                                                                : std::optional<QString>(sources[i % sources.size()]);
        store.insert(payload, QStringLiteral("r"), ClipKind::text, source, count,
                     HistoryStore::maximumStoredPayloadBytes);
    }
}

qint64 queryInteger(const QString& databasePath, const QString& sql)
{
    Connection connection(databasePath);
    qint64 value = -1;
    connection.query(sql, [&](sqlite3_stmt* statement) { value = sqlite3_column_int64(statement, 0); });
    return value;
}

QStringList queryTexts(const QString& databasePath, const QString& sql)
{
    Connection connection(databasePath);
    QStringList values;
    connection.query(sql, [&](sqlite3_stmt* statement) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        values.append(text ? QString::fromUtf8(text) : QStringLiteral("<null>"));
    });
    return values;
}

ClipPayload textPayload(const QString& text)
{
    return {{ClipItem{{{QStringLiteral("public.utf8-plain-text"), text.toUtf8()}}}}, std::nullopt};
}

QStringList payloadFiles(const QString& folder)
{
    QStringList names = QDir(folder).entryList({QStringLiteral("*.clip")}, QDir::Files | QDir::Hidden | QDir::System);
    names.sort();
    return names;
}

QStringList StoreFixture::texts() const
{
    return queryTexts(folder.databasePath(), QStringLiteral("SELECT text FROM clips ORDER BY id DESC"));
}

qint64 StoreFixture::newestID() const
{
    return queryInteger(folder.databasePath(), QStringLiteral("SELECT MAX(id) FROM clips"));
}

QString StoreFixture::fileNameOf(qint64 id) const
{
    const QStringList names = queryTexts(folder.databasePath(),
                                         QStringLiteral("SELECT payload_filename FROM clips WHERE id = %1").arg(id));
    return names.value(0);
}

} // namespace tavlin::test
