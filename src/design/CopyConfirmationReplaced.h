#pragma once

#include <QtGlobal>

namespace tavlin {

// What the "Copied" badge takes the place of in a row (its timestamp): drawn at this opacity, so
// that it keeps its place, and nothing moves, while the record's copy is confirmed.
struct CopyConfirmationReplaced {
    static qreal opacity(bool confirmed) { return confirmed ? 0 : 1; }
};

} // namespace tavlin
