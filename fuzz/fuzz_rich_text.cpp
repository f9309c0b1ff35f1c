#include "RichTextDocument.h"

#include <cstddef>
#include <cstdint>

// Whatever a program puts on the clipboard as RTF or flat RTFD: read it both ways, with and
// without a character limit, and take its text as the clipboard reader does.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const auto document = tavlin::RichTextDocument::fromRTF(bytes))
        tavlin::RichTextDocument::plainText(*document);
    tavlin::RichTextDocument::fromRTF(bytes, 600);
    if (const auto document = tavlin::RichTextDocument::fromFlatRTFD(bytes, 40))
        tavlin::RichTextDocument::plainText(*document);
    return 0;
}
