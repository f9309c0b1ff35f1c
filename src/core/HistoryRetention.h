#pragma once

#include "Error.h"

#include <QList>

namespace tavlin {

// The user's limits on the history: a record count and a total of payload bytes.
struct HistoryRetention {
    qint64 clipCount = 1000;
    qint64 payloadBytes = 268'435'456;

    static constexpr qint64 mebibyte = 1'048'576;
    static const QList<qint64>& clipCountOptions();
    static const QList<qint64>& payloadByteOptions();
    static HistoryRetention standard() { return {}; }

    // Both limits are among the offered options.
    bool isSupported() const
    {
        return clipCountOptions().contains(clipCount) && payloadByteOptions().contains(payloadBytes);
    }

    bool operator==(const HistoryRetention&) const = default;
};

// What a retention limit does to the stored history.
struct RetentionImpact {
    qint64 totalCount = 0;
    qint64 totalBytes = 0;
    qint64 favoriteCount = 0;
    qint64 favoriteBytes = 0;
    qint64 evictedCount = 0;
    qint64 evictedBytes = 0;
    bool isFeasible = true;

    bool operator==(const RetentionImpact&) const = default;
};

// The history changed between the user's confirmation and the deletion: the limit would now
// delete more records than the user agreed to. Carries the impact found at that moment.
class RetentionImpactChanged : public Error {
public:
    explicit RetentionImpactChanged(RetentionImpact impact) : impact_(impact) { }

    const RetentionImpact& impact() const { return impact_; }

    QString typeName() const override { return QStringLiteral("RetentionImpactChanged"); }
    QString domain() const override { return QStringLiteral("Tavlin.RetentionImpactChanged"); }
    long code() const override { return 1; }
    QString failureReason() const override { return {}; }
    QString localizedDescription() const override;

private:
    RetentionImpact impact_;
};

} // namespace tavlin
