#pragma once

#include "ClipKind.h"
#include "RawValue.h"

#include <QList>
#include <QString>

namespace tavlin {

// The two browsing sections of the history window, in the order it shows them.
enum class HistorySection { history, favorites };

inline constexpr HistorySection allHistorySections[] = {HistorySection::history, HistorySection::favorites};

QString toRaw(HistorySection section);
template<>
std::optional<HistorySection> fromRaw<HistorySection>(QStringView raw);
// The localized title.
QString title(HistorySection section);

// The kind chips of the history window, in the order it shows them.
enum class HistoryKindFilter { all, text, links, images, files };

inline constexpr HistoryKindFilter allHistoryKindFilters[] = {
    HistoryKindFilter::all, HistoryKindFilter::text, HistoryKindFilter::links, HistoryKindFilter::images,
    HistoryKindFilter::files};

QString toRaw(HistoryKindFilter filter);
template<>
std::optional<HistoryKindFilter> fromRaw<HistoryKindFilter>(QStringView raw);
QString title(HistoryKindFilter filter);
// The record kinds the filter puts into a query; empty for `all` (every kind).
QList<ClipKind> kinds(HistoryKindFilter filter);

} // namespace tavlin
