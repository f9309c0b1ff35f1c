#pragma once

#include <QByteArray>
#include <QString>
#include <QTextDocument>

#include <memory>
#include <optional>

namespace tavlin {

// Rich text that other programs put on the clipboard, read into a QTextDocument: RTF
// ("public.rtf") and flat RTFD ("com.apple.flat-rtfd", whose RTF part is read and whose
// attachments are left out). No library on Linux reads RTF, so RtfReader does it.
//
// Both readers give nullptr when the bytes are not rich text of their kind. Damaged RTF (cut
// short, unbalanced braces) gives what could be read. Font sizes are kept in points, as RTF
// states them, so the text scales with the screen like the rest of the interface.
//
// With maximumCharacters, the document holds at most that many user-perceived characters
// (a paragraph break counts as one, a negative maximum as 0), never splitting one, and reading
// stops once they are known: a preview of a large document does not pay for all of it.
struct RichTextDocument {
    static std::unique_ptr<QTextDocument> fromRTF(const QByteArray& rtf,
                                                  std::optional<qsizetype> maximumCharacters = {});
    static std::unique_ptr<QTextDocument> fromFlatRTFD(const QByteArray& rtfd,
                                                       std::optional<qsizetype> maximumCharacters = {});

    // The document's text with every paragraph break as "\n" and every line break within a
    // paragraph as U+2028. Unlike QTextDocument::toPlainText it keeps no-break spaces as they are.
    static QString plainText(const QTextDocument& document);
};

} // namespace tavlin
