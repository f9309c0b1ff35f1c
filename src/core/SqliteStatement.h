#pragma once

#include <QByteArray>
#include <QString>

#include <sqlite3.h>

#include <optional>

namespace tavlin {

// A prepared statement that is finalized on every path. Steps and bindings report SQLite's own
// result codes; HistoryStore turns unexpected ones into StorageError.
class SqliteStatement {
public:
    explicit SqliteStatement(sqlite3_stmt* statement) : statement_(statement) { }
    SqliteStatement(SqliteStatement&& other) noexcept : statement_(other.statement_) { other.statement_ = nullptr; }
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    SqliteStatement& operator=(SqliteStatement&&) = delete;
    ~SqliteStatement() { sqlite3_finalize(statement_); }

    sqlite3_stmt* get() const { return statement_; }

    int step() { return sqlite3_step(statement_); }
    void reset() { sqlite3_reset(statement_); }

    int bindInt64(int index, qint64 value) { return sqlite3_bind_int64(statement_, index, value); }
    int bindDouble(int index, double value) { return sqlite3_bind_double(statement_, index, value); }
    int bindNull(int index) { return sqlite3_bind_null(statement_, index); }

    bool isNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }
    qint64 int64(int column) const { return sqlite3_column_int64(statement_, column); }
    int int32(int column) const { return sqlite3_column_int(statement_, column); }
    double real(int column) const { return sqlite3_column_double(statement_, column); }
    // The column as UTF-8 text; nothing for NULL or when SQLite cannot produce the text.
    std::optional<QString> text(int column) const
    {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
        if (!bytes)
            return std::nullopt;
        return QString::fromUtf8(bytes, sqlite3_column_bytes(statement_, column));
    }

private:
    sqlite3_stmt* statement_;
};

} // namespace tavlin
