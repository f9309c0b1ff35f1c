#pragma once

#include "ClipMetadata.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace tavlin {

// One clipboard type of one clipboard item, with the exact bytes it held.
struct ClipRepresentation {
    QString type;
    QByteArray data;

    bool operator==(const ClipRepresentation&) const = default;
};

// One clipboard item: its kept representations, in ascending order of type.
struct ClipItem {
    QList<ClipRepresentation> representations;

    bool operator==(const ClipItem&) const = default;
};

// The whole clipboard content of one record, as kept in its payload file.
struct ClipPayload {
    QList<ClipItem> items;
    // Absent in what the clipboard reader returns, present once the record is stored.
    std::optional<ClipMetadata> metadata;

    bool operator==(const ClipPayload&) const = default;
};

} // namespace tavlin
