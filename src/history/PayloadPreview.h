#pragma once

#include "ClipKind.h"
#include "ClipPayload.h"
#include "ClipPreview.h"

namespace tavlin {

// What the preview panel shows for a record: a reduced PNG of an image, the rich-text bytes to
// render, or the record's own text. No state; meant for the repository's worker thread.
struct PayloadPreview {
    // Larger RTF or RTFD representations are never parsed for a preview.
    static constexpr qint64 maximumRichTextBytes = 2'097'152;
    static constexpr int imageEdge = 1024;

    // Throws ClipboardReadError when an image record has no image that decodes.
    static ClipPreview make(const ClipPayload& payload, ClipKind kind);
};

} // namespace tavlin
