#pragma once

#include <QString>
#include <QStringView>

namespace tavlin {

// User-perceived characters (extended grapheme clusters), the unit in which the interface cuts
// and counts text, so that a cut never splits an emoji or a letter with its accents.
struct TextCharacters {
    // How many characters the text has, counting no further than `limit`.
    static qsizetype count(QStringView text, qsizetype limit);
    // The length in UTF-16 units of the text's first `characters` characters (all of it when it
    // has fewer; none for a negative number).
    static qsizetype prefixLength(QStringView text, qsizetype characters);
    // The text with each line break (a CR LF pair, LF, CR, VT, FF, NEL, the paragraph separator)
    // made a line separator, which a single text layout breaks at; same length, so ranges over it
    // still hold.
    static QString withLineSeparators(QString text);
};

} // namespace tavlin
