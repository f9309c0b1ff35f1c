#include "HistoryRetention.h"

#include <QCoreApplication>

namespace tavlin {

const QList<qint64>& HistoryRetention::clipCountOptions()
{
    static const QList<qint64> options{100, 250, 500, 1000};
    return options;
}

const QList<qint64>& HistoryRetention::payloadByteOptions()
{
    static const QList<qint64> options{64 * mebibyte, 128 * mebibyte, 256 * mebibyte};
    return options;
}

QString RetentionImpactChanged::localizedDescription() const
{
    return QCoreApplication::translate("Core", "History changed: confirm the deletion again.");
}

} // namespace tavlin
