#pragma once

#include <QByteArray>

#include <optional>

class QTextDocument;

namespace tavlin {

// Writes a document back out as RTF: fonts, colours, bold, italic, underline, strike-through,
// sizes and paragraphs; everything else is text. Used to keep a small rich-text preview of a
// record in RTF, the form every preview reads.
struct RichTextWriter {
    static std::optional<QByteArray> rtf(const QTextDocument& document);
};

} // namespace tavlin
