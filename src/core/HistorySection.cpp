#include "HistorySection.h"

namespace tavlin {

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
