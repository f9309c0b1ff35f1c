#pragma once

#include <QString>

#include <atomic>
#include <optional>

namespace tavlin {

// Case- and diacritic-insensitive folding for search: "Café" and "cafe", "Ёлка" and "елка" fold
// alike. The stored search_text column and every search value go through the same folding, so
// this is part of the stored format.
struct SearchFolding {
    // Raised whenever the folding of some text changes: a history whose search texts were folded
    // by another version is folded again once.
    static constexpr int version = 1;
    // How many characters are composed at a time.
    static constexpr qsizetype pieceLength = 1024;

    static QString fold(const QString& text);
    // The same folding, composing about `piece` characters at a time. The result depends on `piece`
    // only for compositions outside the Basic Multilingual Plane (Kaithi, Chakma): Qt 6.4's composer
    // steps over the character after each one it makes there, and leaves it uncomposed, so where
    // the pieces are cut decides which of two in a row compose. Gives up and returns nothing once
    // `stop` (if any) reads true.
    static std::optional<QString> fold(const QString& text, const std::atomic<bool>* stop,
                                       qsizetype piece = pieceLength);
};

} // namespace tavlin
