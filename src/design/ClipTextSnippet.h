#pragma once

#include "Appearance.h"

#include <QFont>
#include <QList>
#include <QString>
#include <QTextLayout>

class QTextCursor;

namespace tavlin {

class ThemeColor;

// The classes of a code token, each with its colour.
enum class CodeToken { plain, string, comment, number, keyword };

// A text prepared for display: code carries a 12-pixel monospaced font and coloured tokens;
// prose carries neither (it takes the font of the view that shows it).
struct HighlightedText {
    struct Run {
        qsizetype start = 0;
        qsizetype length = 0;
        CodeToken token = CodeToken::plain;
        bool operator==(const Run&) const = default;
    };

    QString text;
    bool code = false;
    // The coloured tokens, left to right and not overlapping; the text between them is plain.
    QList<Run> runs;

    bool operator==(const HighlightedText&) const = default;

    // The 12-pixel monospaced font of code.
    static QFont codeFont();
    // Colour formats covering the whole text (plain parts in the primary text colour), with the
    // code font for code.
    QList<QTextLayout::FormatRange> formats(const Appearance& appearance) const;
    // Inserts the text with its colours (and font, for code) at the cursor.
    void insert(QTextCursor& cursor, const Appearance& appearance) const;
};

// The one test of whether a text is code, and the one highlighter. Main thread.
struct ClipTextSnippet {
    // Whether the text looks like source code: a small JSON object or array, or a declaration of
    // one of the common languages. Looks at the first 16384 bytes of UTF-8 only.
    static bool isCode(const QString& text);
    // The first `maximumCharacters` characters (clamped to 0...16384); coloured by token when the
    // whole text is code.
    static HighlightedText highlighted(const QString& text, qint64 maximumCharacters);
    static const ThemeColor& color(CodeToken token);

    static constexpr qsizetype sampleBytes = 16384;
    static constexpr qsizetype maximumHighlightedCharacters = 16384;
};

} // namespace tavlin
