#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace tavlin {

// User-perceived characters (extended grapheme clusters), the unit in which the interface cuts
// and counts text, so that a cut never splits an emoji or a letter with its accents.
//
// No script or emoji sequence makes a character of more than `longestCharacter` UTF-16 units; a
// longer one is made up, of hundreds of thousands of stacked marks at worst, and shaping it costs
// with its length, as it can be broken into no lines. So such a character is cut after that many
// units (never inside a surrogate pair), and the text ends there for the interface: what is shown
// or measured of a record stays within a screen of text.
struct TextCharacters {
    static constexpr qsizetype longestCharacter = 64;

    // How many characters the text has, counting no further than `limit`; a text cut at a
    // character too long counts as reaching the limit, as it shows no more than a long text does.
    static qsizetype count(QStringView text, qsizetype limit);
    // The length in UTF-16 units of the text's first `characters` characters (all of it when it
    // has fewer; none for a negative number), or of the text up to where a character too long is
    // cut, when that comes first.
    static qsizetype prefixLength(QStringView text, qsizetype characters);
    // Where characters too long go on past their cut, as (start, length) in UTF-16 units, left to
    // right: what a view that shows a whole text leaves out of it. Walks the whole text.
    static QList<std::pair<qsizetype, qsizetype>> pastCuts(QStringView text);
    // The text with each line break (a CR LF pair, LF, CR, VT, FF, NEL, the paragraph separator)
    // made a line separator, which a single text layout breaks at; same length, so ranges over it
    // still hold.
    static QString withLineSeparators(QString text);
};

} // namespace tavlin
