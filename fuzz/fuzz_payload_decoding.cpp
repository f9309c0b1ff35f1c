#include "ClipPayloadCoder.h"
#include "Error.h"

#include <cstddef>
#include <cstdint>

// A payload file as it may be found on disk: damaged, truncated or written by someone else.
// Decoding either gives a payload or throws the engine's own error, nothing else.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const tavlin::ClipPayload payload = tavlin::ClipPayloadCoder::decode(bytes);
        // A payload that decodes must encode again.
        tavlin::ClipPayloadCoder::encode(payload);
    } catch (const tavlin::Error&) {
    }
    return 0;
}
