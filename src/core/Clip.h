#pragma once

#include "ClipKind.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace tavlin {

// One history record as listed: one row of the clips table.
struct Clip {
    qint64 id = 0;
    // The captured text, a file's name, or a stored placeholder for images, PDFs and file sets.
    QString text;
    QDateTime createdAt;
    // Identifier of the application that was active when the copy was captured.
    std::optional<QString> source;
    ClipKind kind = ClipKind::text;
    bool isFavorite = false;

    bool operator==(const Clip&) const = default;
};

} // namespace tavlin
