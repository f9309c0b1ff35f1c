#pragma once

#include "ClipKind.h"
#include "ClipPayload.h"

#include <QString>

namespace tavlin {

// What one clipboard read yields; the repository adds the metadata when it stores it.
struct CapturedClipboard {
    // Display text, or one of the stored placeholders (see StoredPlaceholder).
    QString text;
    ClipKind kind = ClipKind::text;
    ClipPayload payload;

    bool operator==(const CapturedClipboard&) const = default;
};

} // namespace tavlin
