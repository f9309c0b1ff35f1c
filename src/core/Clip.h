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

    // Whether `other` lists this very record, starred or not. The store hands a deleted newest
    // record's id to the next copy, so an id alone does not say.
    bool isSameRecord(const Clip& other) const
    {
        Clip starred = *this;
        starred.isFavorite = other.isFavorite;
        return starred == other;
    }
};

} // namespace tavlin
