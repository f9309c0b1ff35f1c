#pragma once

#include "ClipMetadata.h"
#include "ClipPreview.h"

namespace tavlin {

// What one card or list row shows besides the record itself. Built only by the repository.
struct ClipRowPresentation {
    ClipMetadata metadata;
    ClipPreview preview;

    bool operator==(const ClipRowPresentation&) const = default;
};

} // namespace tavlin
