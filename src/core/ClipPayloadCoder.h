#pragma once

#include "ClipPayload.h"

#include <QByteArray>

namespace tavlin {

// The payload file format: a ClipPayload as a standard binary property list with the keys
// "items", "representations", "type", "data", "metadata" and the metadata's own field names.
struct ClipPayloadCoder {
    static QByteArray encode(const ClipPayload& payload);
    // Throws DecodingError for bytes that are no binary property list, or lack a required key,
    // or hold a value of the wrong type.
    static ClipPayload decode(const QByteArray& bytes);
};

} // namespace tavlin
