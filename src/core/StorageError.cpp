#include "StorageError.h"

#include <QCoreApplication>

namespace tavlin {

StorageError::StorageError(QString detail, Kind kind, bool busy) : kind_(kind), detail_(std::move(detail)), busy_(busy)
{
}

StorageError::StorageError(QString message) : kind_(Kind::limit), detail_(message), message_(std::move(message))
{
}

QString StorageError::localizedDescription() const
{
    if (message_)
        return *message_;
    if (busy_)
        return historyInUseText();
    switch (kind_) {
    case Kind::damagedRecord: return damagedRecordText();
    case Kind::newerHistory: return newerHistoryText();
    case Kind::unavailable:
    case Kind::limit: break;
    }
    return unavailableText();
}

QString StorageError::unavailableText()
{
    return QCoreApplication::translate(
        "Core", "Tavlin couldn’t read or save the history. Try again; if this keeps happening, restart Tavlin.");
}

QString StorageError::historyInUseText()
{
    return QCoreApplication::translate("Core", "Another program is using the history. Try again in a moment.");
}

QString StorageError::damagedRecordText()
{
    return QCoreApplication::translate(
        "Core", "This record’s data is damaged and can’t be used. The rest of the history isn’t affected.");
}

QString StorageError::newerHistoryText()
{
    return QCoreApplication::translate(
        "Core", "This history was saved by a newer version of Tavlin. Update Tavlin to open it.");
}

QString StorageError::recordTooLargeText(const QString& formattedLimit)
{
    return QCoreApplication::translate("Core", "The record is larger than %1 and wasn’t saved.").arg(formattedLimit);
}

QString StorageError::textTooLargeText()
{
    return QCoreApplication::translate("Core", "The text is too large to save.");
}

QString StorageError::favoritesFillHistoryText()
{
    return QCoreApplication::translate("Core",
                                       "Favorites take up the whole history limit. Remove some records from favorites "
                                       "or choose a larger limit in Settings.");
}

QString StorageError::unsupportedLimitText()
{
    return QCoreApplication::translate("Core", "This history limit isn’t supported.");
}

QString StorageError::favoritesDontFitText()
{
    return QCoreApplication::translate("Core", "Favorites don’t fit within the selected limit.");
}

} // namespace tavlin
