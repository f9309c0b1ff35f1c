#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class QTextDocument;

namespace tavlin {

// RTF and flat RTFD bytes as a styled document cut to a number of characters, and the kind of
// background that keeps its ink readable. No state; documents are built without widgets, so
// any thread may call it.
struct RichTextPresentation {
    // The background under a document. The palette that turns it into a colour belongs to the
    // design layer: white, the theme's rich-text fallback colour, or its surface for light ink.
    enum class Surface { white, fallback, lightInk };

    // The document read as RTFD when `type` is "com.apple.flat-rtfd", else as RTF, cut after its
    // first `maximumCharacters` user-perceived characters (a negative maximum keeps none). The cut
    // never splits a character. Nothing when the bytes don't read.
    static std::unique_ptr<QTextDocument> attributed(const QByteArray& bytes, const QString& type,
                                                     qint64 maximumCharacters);
    static Surface surface(const QTextDocument& document);

    // The plain text of the document, paragraphs separated by "\n", at most `maximumCharacters`
    // user-perceived characters of it; nothing when the bytes don't read.
    static std::optional<QString> plainString(const QByteArray& bytes, const QString& type,
                                              std::optional<qint64> maximumCharacters = std::nullopt);
};

} // namespace tavlin
