#include "HistoryViewMode.h"

#include <QCoreApplication>

namespace tavlin {

QString toRaw(HistoryViewMode mode)
{
    return mode == HistoryViewMode::cards ? QStringLiteral("cards") : QStringLiteral("list");
}

template<>
std::optional<HistoryViewMode> fromRaw<HistoryViewMode>(QStringView raw)
{
    for (HistoryViewMode mode : allHistoryViewModes) {
        if (raw == toRaw(mode))
            return mode;
    }
    return std::nullopt;
}

QString title(HistoryViewMode mode)
{
    return mode == HistoryViewMode::cards ? QCoreApplication::translate("Tavlin", "Cards")
                                          : QCoreApplication::translate("Tavlin", "List");
}

} // namespace tavlin
