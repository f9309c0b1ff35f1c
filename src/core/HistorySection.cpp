#include "HistorySection.h"

#include <QCoreApplication>

namespace tavlin {

QString toRaw(HistorySection section)
{
    return section == HistorySection::favorites ? QStringLiteral("favorites") : QStringLiteral("history");
}

template<>
std::optional<HistorySection> fromRaw<HistorySection>(QStringView raw)
{
    for (HistorySection section : allHistorySections) {
        if (raw == toRaw(section))
            return section;
    }
    return std::nullopt;
}

QString title(HistorySection section)
{
    return section == HistorySection::favorites ? QCoreApplication::translate("Tavlin", "Favorites")
                                                : QCoreApplication::translate("Tavlin", "History");
}

QString toRaw(HistoryKindFilter filter)
{
    switch (filter) {
    case HistoryKindFilter::all: return QStringLiteral("all");
    case HistoryKindFilter::text: return QStringLiteral("text");
    case HistoryKindFilter::links: return QStringLiteral("links");
    case HistoryKindFilter::images: return QStringLiteral("images");
    case HistoryKindFilter::files: return QStringLiteral("files");
    }
    return QStringLiteral("all");
}

template<>
std::optional<HistoryKindFilter> fromRaw<HistoryKindFilter>(QStringView raw)
{
    for (HistoryKindFilter filter : allHistoryKindFilters) {
        if (raw == toRaw(filter))
            return filter;
    }
    return std::nullopt;
}

QString title(HistoryKindFilter filter)
{
    switch (filter) {
    case HistoryKindFilter::all: return QCoreApplication::translate("Tavlin", "All");
    case HistoryKindFilter::text: return QCoreApplication::translate("Tavlin", "Text");
    case HistoryKindFilter::links: return QCoreApplication::translate("Tavlin", "Links");
    case HistoryKindFilter::images: return QCoreApplication::translate("Tavlin", "Images");
    case HistoryKindFilter::files: return QCoreApplication::translate("Tavlin", "Files");
    }
    return {};
}

QList<ClipKind> kinds(HistoryKindFilter filter)
{
    switch (filter) {
    case HistoryKindFilter::all: return {};
    case HistoryKindFilter::text: return {ClipKind::text, ClipKind::richText};
    case HistoryKindFilter::links: return {ClipKind::link};
    case HistoryKindFilter::images: return {ClipKind::image};
    case HistoryKindFilter::files: return {ClipKind::file, ClipKind::other};
    }
    return {};
}

} // namespace tavlin
