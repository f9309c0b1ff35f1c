#pragma once

#include "Error.h"

#include <optional>

namespace tavlin {

// The store's one error type: a kind for the user message, a technical detail for the log, and
// for limit errors a ready user text.
class StorageError : public Error {
public:
    enum class Kind { unavailable, damagedRecord, newerHistory, limit };

    // `busy`: another connection held the database (SQLite's busy or locked), so the same
    // operation may well succeed a moment later.
    StorageError(QString detail, Kind kind, bool busy = false);
    // A limit error whose detail and user text are both `message`.
    explicit StorageError(QString message);

    Kind kind() const { return kind_; }
    const QString& detail() const { return detail_; }
    const std::optional<QString>& message() const { return message_; }
    bool isBusy() const { return busy_; }

    QString typeName() const override { return QStringLiteral("StorageError"); }
    QString domain() const override { return QStringLiteral("Tavlin.StorageError"); }
    long code() const override { return static_cast<long>(kind_); }
    QString failureReason() const override { return detail_; }
    QString localizedDescription() const override;

    bool operator==(const StorageError& other) const
    {
        return kind_ == other.kind_ && detail_ == other.detail_ && message_ == other.message_;
    }

    // The user texts of the store, looked up in the "Core" context of the running language.
    static QString unavailableText();
    // Shown for a busy error in place of the unavailable text.
    static QString historyInUseText();
    static QString damagedRecordText();
    static QString newerHistoryText();
    static QString recordTooLargeText(const QString& formattedLimit);
    static QString textTooLargeText();
    static QString favoritesFillHistoryText();
    static QString unsupportedLimitText();
    static QString favoritesDontFitText();

private:
    Kind kind_;
    QString detail_;
    std::optional<QString> message_;
    bool busy_ = false;
};

} // namespace tavlin
