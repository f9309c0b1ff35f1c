#pragma once

#include "RawValue.h"

#include <QString>

namespace tavlin {

// How the history window lays out its records.
enum class HistoryViewMode { cards, list };

template <>
struct EnumCases<HistoryViewMode> {
    static constexpr EnumCase<HistoryViewMode> cases[] = {
        {HistoryViewMode::cards, "cards", QT_TRANSLATE_NOOP("Tavlin", "Cards")},
        {HistoryViewMode::list, "list", QT_TRANSLATE_NOOP("Tavlin", "List")},
    };
};

inline constexpr auto allHistoryViewModes = enumValues<HistoryViewMode>();

} // namespace tavlin
