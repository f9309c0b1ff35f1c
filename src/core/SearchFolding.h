#pragma once

#include <QString>

namespace tavlin {

// Case- and diacritic-insensitive folding for search: "Café" and "cafe", "Ёлка" and "елка" fold
// alike. The stored search_text column and every search value go through the same folding, so
// this is part of the stored format.
struct SearchFolding {
    // How many characters are normalized at a time.
    static constexpr qsizetype pieceLength = 1024;

    static QString fold(const QString& text);
    // The same folding, normalizing about `piece` characters at a time: the result does not
    // depend on `piece`.
    static QString fold(const QString& text, qsizetype piece);
};

} // namespace tavlin
