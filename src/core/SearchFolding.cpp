#include "SearchFolding.h"

#include <QSet>

#include <algorithm>

namespace tavlin {

namespace {

// Full case folding: QString::toCaseFolded folds one character to one, so "ß" stayed "ß" and
// "strasse" never found "Straße". Full folding differs from it only where a character's case
// mapping expands ("ß" to "SS", "ﬁ" to "FI", "ᾳ" to "ΑΙ"); there the fold is the lowercase of
// the expansion. Lowering first brings "ẞ" to "ß" and "İ" to "i" with a combining dot.
QString fullCaseFold(const QString& text)
{
    const QString lower = text.toLower();
    if (lower.toUpper().size() == lower.size())
        return lower.toCaseFolded();
    QString folded;
    folded.reserve(lower.size());
    for (qsizetype i = 0; i < lower.size();) {
        const qsizetype length = lower.at(i).isHighSurrogate() && i + 1 < lower.size() ? 2 : 1;
        const QString character = lower.mid(i, length);
        const QString upper = character.toUpper();
        folded += (upper.size() > character.size() ? upper.toLower() : character).toCaseFolded();
        i += length;
    }
    return folded;
}

// Drops the diacritics of a text already case-folded.
QString stripMarks(const QString& folded)
{
    const QString decomposed = folded.normalized(QString::NormalizationForm_D);
    QString stripped;
    stripped.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            stripped.append(c);
    }
    return stripped.normalized(QString::NormalizationForm_C);
}

// Characters that canonical composition may join to the character before them: the second
// character of every two-character canonical decomposition, and the Hangul vowels and trailing
// consonants that join a syllable.
const QSet<char32_t>& joinsBackward()
{
    static const QSet<char32_t> set = [] {
        QSet<char32_t> found;
        for (char32_t c = 0; c <= QChar::LastValidCodePoint; ++c) {
            if (QChar::decompositionTag(c) != QChar::Canonical)
                continue;
            const QList<uint> parts = QString(QChar::decomposition(c)).toUcs4();
            if (parts.size() == 2)
                found.insert(parts.at(1));
        }
        for (char32_t c = 0x1161; c <= 0x1175; ++c)
            found.insert(c);
        for (char32_t c = 0x11A8; c <= 0x11C2; ++c)
            found.insert(c);
        return found;
    }();
    return set;
}

// True when the text may be cut before `c` and each side stripped alone: `c` decomposes to a
// starter that is no mark and joins nothing before it, so neither canonical reordering nor
// composition reaches across the cut.
bool startsStably(char32_t c)
{
    while (QChar::decompositionTag(c) == QChar::Canonical)
        c = QString(QChar::decomposition(c)).toUcs4().constFirst();
    return QChar::combiningClass(c) == 0 && QChar::category(c) != QChar::Mark_NonSpacing
        && !joinsBackward().contains(c);
}

} // namespace

QString SearchFolding::fold(const QString& text)
{
    return fold(text, pieceLength);
}

QString SearchFolding::fold(const QString& text, qsizetype piece)
{
    // Qt's normalization costs time quadratic in the length of what it is given (a megabyte of
    // Hangul takes seconds), so a long text is stripped in pieces cut where that changes nothing.
    const QString folded = fullCaseFold(text);
    piece = std::max<qsizetype>(piece, 1);
    if (folded.size() <= piece)
        return stripMarks(folded);
    QString result;
    result.reserve(folded.size());
    qsizetype start = 0;
    qsizetype at = piece;
    while (at < folded.size()) {
        const QChar c = folded.at(at);
        const bool cuttable = !c.isLowSurrogate()
            && startsStably(c.isHighSurrogate() && at + 1 < folded.size() ? QChar::surrogateToUcs4(c, folded.at(at + 1))
                                                                          : c.unicode());
        if (cuttable) {
            result += stripMarks(folded.sliced(start, at - start));
            start = at;
            at += piece;
        } else {
            ++at;
        }
    }
    result += stripMarks(folded.sliced(start));
    return result;
}

} // namespace tavlin
