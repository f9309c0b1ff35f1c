#pragma once

#include "ClipPayload.h"

#include <QByteArray>

namespace tavlin {

// The payload file format: a ClipPayload as a standard binary property list with the keys
// "items", "representations", "type", "data", "metadata" and the metadata's own field names.
struct ClipPayloadCoder {
    // The deepest chain of containers a payload has: root, items, item, representations,
    // representation. Bytes read from disk are checked against it (PlistNesting) before decode.
    static constexpr int maximumNesting = 5;

    // Throws DecodingError for a payload holding a text with a NUL character, which the format
    // cannot keep: it would be cut there and no longer match its digest.
    static QByteArray encode(const ClipPayload& payload);
    // The fewest bytes encode() can make of `payload`: its data and the metadata's strings, a
    // byte a character, without the structure around them. Cheap, for refusing early a payload
    // its encoding could only make larger.
    static qint64 minimumEncodedSize(const ClipPayload& payload);
    // Throws DecodingError for bytes that are no binary property list, or lack a required key,
    // or hold a value of the wrong type.
    static ClipPayload decode(const QByteArray& bytes);
};

} // namespace tavlin
