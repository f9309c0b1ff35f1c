#include "RichTextDocument.h"

#include "RtfReader.h"

#include <QtEndian>

namespace tavlin {

namespace {

std::unique_ptr<QTextDocument> readRTF(QByteArrayView rtf, std::optional<qsizetype> maximumCharacters)
{
    if (!rtf.startsWith("{\\rtf"))
        return nullptr;
    auto document = std::make_unique<QTextDocument>();
    // Nobody undoes the reading; an undo stack would only double its cost.
    document->setUndoRedoEnabled(false);
    RtfReader(rtf, *document, maximumCharacters).read();
    document->setUndoRedoEnabled(true);
    return document;
}

// A flat RTFD is an .rtfd folder serialized by its file wrapper: the magic "rtfd", a reserved
// number, the format version and the number of entries, then every entry's name, then every
// entry's contents, each name and content preceded by its length; all numbers are 32-bit
// little-endian. The text is the entry "TXT.rtf"; the other entries are attachments and the
// folder's own attributes.
std::optional<QByteArrayView> tableEntry(QByteArrayView rtfd, QByteArrayView wanted)
{
    qsizetype position = 4;
    const auto number = [&]() -> std::optional<quint32> {
        if (rtfd.size() - position < 4)
            return {};
        const auto value = qFromLittleEndian<quint32>(rtfd.data() + position);
        position += 4;
        return value;
    };
    const auto block = [&]() -> std::optional<QByteArrayView> {
        const auto length = number();
        if (!length || *length > quint64(rtfd.size() - position))
            return {};
        const QByteArrayView contents = rtfd.sliced(position, *length);
        position += *length;
        return contents;
    };

    if (!number() || !number())
        return {};
    const auto count = number();
    // Every entry takes at least two lengths, so a larger count cannot be true.
    if (!count || *count > quint64(rtfd.size() - position) / 8)
        return {};
    std::optional<quint32> index;
    for (quint32 entry = 0; entry < *count; ++entry) {
        const auto name = block();
        if (!name)
            return {};
        if (*name == wanted && !index)
            index = entry;
    }
    for (quint32 entry = 0; entry < *count; ++entry) {
        const auto contents = block();
        if (!contents)
            return {};
        if (entry == index)
            return contents;
    }
    return {};
}

} // namespace

std::unique_ptr<QTextDocument> RichTextDocument::fromRTF(const QByteArray& rtf,
                                                         std::optional<qsizetype> maximumCharacters)
{
    return readRTF(rtf, maximumCharacters);
}

std::unique_ptr<QTextDocument> RichTextDocument::fromFlatRTFD(const QByteArray& rtfd,
                                                              std::optional<qsizetype> maximumCharacters)
{
    if (!rtfd.startsWith("rtfd"))
        return nullptr;
    if (const auto text = tableEntry(rtfd, "TXT.rtf"); text && text->startsWith("{\\rtf"))
        return readRTF(*text, maximumCharacters);
    // Should the entry table read otherwise, the RTF part is still stored as it is, and the
    // reader stops at its closing brace: the first RTF in the bytes is the text.
    const qsizetype start = rtfd.indexOf("{\\rtf");
    if (start < 0)
        return nullptr;
    return readRTF(QByteArrayView(rtfd).sliced(start), maximumCharacters);
}

QString RichTextDocument::plainText(const QTextDocument& document)
{
    // A line break inside a paragraph stays U+2028, as other programs' rich-text copies store it.
    return document.toRawText().replace(QChar::ParagraphSeparator, u'\n');
}

} // namespace tavlin
