#pragma once

#include "ClipKind.h"
#include "ClipSourceFilter.h"

#include <QList>
#include <QString>

namespace tavlin {

// One request for records. Results computed for a query that is no longer current are dropped,
// so equality takes every field (the order of `kinds` included).
struct HistoryQuery {
    // Text the record must contain; empty means no search.
    QString search;
    bool favoritesOnly = false;
    // The kinds allowed; empty means every kind.
    QList<ClipKind> kinds;
    ClipSourceFilter source;

    bool operator==(const HistoryQuery&) const = default;
};

} // namespace tavlin
