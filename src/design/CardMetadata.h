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
    // a text's line and character counts, else the kind's name (`kindName`). Never empty.
    static QString footer(const std::optional<ClipMetadata>& metadata, ClipKind kind);
    // The footer without a text's line count ("122 characters"), for a footer too narrow to show
    // the source's name beside the whole one.
    static QString shortFooter(const std::optional<ClipMetadata>& metadata, ClipKind kind);
    // "1920 × 1080 px" when both pixel sizes are known.
    static std::optional<QString> dimensions(const std::optional<ClipMetadata>& metadata);

    // The folder of a path with a closing "/": "/a/b.txt" -> "/a/", "/b.txt" and "b.txt" -> "/".
    static QString folder(const QString& path);
    // The kind's name as a footer shows it: "Rich Text" in English, "Оформленный текст" in Russian.
    static QString kindName(ClipKind kind);

private:
    static QString footer(const std::optional<ClipMetadata>& metadata, ClipKind kind, bool withLines);
};

} // namespace tavlin
