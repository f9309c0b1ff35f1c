#pragma once

#include "RawValue.h"

#include <QString>

namespace tavlin {

// How the history window lays out its records.
enum class HistoryViewMode { cards, list };

inline constexpr HistoryViewMode allHistoryViewModes[] = {HistoryViewMode::cards, HistoryViewMode::list};

QString toRaw(HistoryViewMode mode);
template<>
std::optional<HistoryViewMode> fromRaw<HistoryViewMode>(QStringView raw);
// The localized title ("Cards", "List").
QString title(HistoryViewMode mode);

} // namespace tavlin
