#pragma once

#include "ClipKind.h"
#include "ClipMetadata.h"

#include <QLocale>
#include <QString>

#include <optional>

namespace tavlin {

// The short texts shown under or beside a record: its footer and its pixel size.
struct CardMetadata {
    // The folder of a file record's first file ("/Users/ann/Documents/"), an image's pixel size,
    // a text's line and character counts, else the kind's name in title case. Never empty.
    static QString footer(const std::optional<ClipMetadata>& metadata, ClipKind kind);
    // "1920 × 1080 px" when both pixel sizes are known.
    static std::optional<QString> dimensions(const std::optional<ClipMetadata>& metadata);

    // The folder of a path with a closing "/": "/a/b.txt" -> "/a/", "/b.txt" and "b.txt" -> "/".
    static QString folder(const QString& path);
    // Every word with its first letter in upper case and the rest in lower case, by the locale's
    // case rules.
    static QString titleCased(const QString& text, const QLocale& locale);
};

} // namespace tavlin
