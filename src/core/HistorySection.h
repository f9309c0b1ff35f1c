#pragma once

#include "ClipKind.h"
#include "RawValue.h"

#include <QList>
#include <QString>

namespace tavlin {

// The two browsing sections of the history window, in the order it shows them.
enum class HistorySection { history, favorites };

template <>
struct EnumCases<HistorySection> {
    static constexpr EnumCase<HistorySection> cases[] = {
        {HistorySection::history, "history", QT_TRANSLATE_NOOP("Tavlin", "History")},
        {HistorySection::favorites, "favorites", QT_TRANSLATE_NOOP("Tavlin", "Favorites")},
    };
};

inline constexpr auto allHistorySections = enumValues<HistorySection>();

// The kind chips of the history window, in the order it shows them.
enum class HistoryKindFilter { all, text, links, images, files };

template <>
struct EnumCases<HistoryKindFilter> {
    static constexpr EnumCase<HistoryKindFilter> cases[] = {
        {HistoryKindFilter::all, "all", QT_TRANSLATE_NOOP("Tavlin", "All")},
        {HistoryKindFilter::text, "text", QT_TRANSLATE_NOOP("Tavlin", "Text")},
        {HistoryKindFilter::links, "links", QT_TRANSLATE_NOOP("Tavlin", "Links")},
        {HistoryKindFilter::images, "images", QT_TRANSLATE_NOOP("Tavlin", "Images")},
        {HistoryKindFilter::files, "files", QT_TRANSLATE_NOOP("Tavlin", "Files")},
    };
};

inline constexpr auto allHistoryKindFilters = enumValues<HistoryKindFilter>();
// The record kinds the filter puts into a query; empty for `all` (every kind).
QList<ClipKind> kinds(HistoryKindFilter filter);

} // namespace tavlin
