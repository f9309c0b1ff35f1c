#pragma once

#include <QString>

namespace tavlin {

// Case- and diacritic-insensitive folding for search: "Café" and "cafe", "Ёлка" and "елка" fold
// alike. The stored search_text column and every search value go through the same folding, so
// this is part of the stored format.
struct SearchFolding {
    static QString fold(const QString& text);
};

} // namespace tavlin
