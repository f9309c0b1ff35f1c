#pragma once

#include <QString>

#include <optional>

namespace tavlin {

// The totals of the whole history, whatever the query.
struct HistorySummary {
    qint64 total = 0;
    qint64 favorites = 0;

    bool operator==(const HistorySummary&) const = default;
};

// One source application with its record count.
struct ClipSourceSummary {
    // Absent for records of no known source.
    std::optional<QString> bundleID;
    qint64 count = 0;

    QString id() const { return bundleID.value_or(QStringLiteral("<unknown>")); }

    bool operator==(const ClipSourceSummary&) const = default;
};

} // namespace tavlin
