#include "SearchFolding.h"

#include <QList>
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

bool stopped(const std::atomic<bool>* stop)
{
    return stop && stop->load();
}

// Nothing below "À" decomposes and nothing below U+0300 is a mark or combines: most text skips
// the lookups.
bool mayCombine(char32_t c)
{
    return c >= 0x300 && QChar::combiningClass(c) != 0;
}

void appendDecomposition(char32_t c, QList<char32_t>& decomposed)
{
    if (c < 0xC0 || QChar::decompositionTag(c) != QChar::Canonical) {
        decomposed.append(c);
        return;
    }
    for (const uint part : QChar::decomposition(c).toUcs4())
        appendDecomposition(part, decomposed);
}

// Sorts each run of characters with a combining class by that class, equal ones kept in order:
// the canonical ordering of normalization. Qt's own swaps neighbours one step at a time, in time
// quadratic in the length of a run: a letter under 65,536 accents of two classes took 8 s.
void orderCanonically(QList<char32_t>& characters)
{
    for (auto run = characters.begin(); run != characters.end();) {
        run = std::find_if(run, characters.end(), mayCombine);
        const auto end = std::find_if_not(run, characters.end(), mayCombine);
        std::stable_sort(run, end,
                         [](char32_t a, char32_t b) { return QChar::combiningClass(a) < QChar::combiningClass(b); });
        run = end;
    }
}

// The canonical decomposition of a text already case-folded, in canonical order and without its
// diacritics (nonspacing marks). An unpaired surrogate stays as it is.
QString decomposedWithoutMarks(const QString& folded)
{
    QList<char32_t> characters;
    characters.reserve(folded.size());
    for (qsizetype i = 0; i < folded.size(); ++i) {
        char32_t c = folded.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < folded.size() && folded.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(folded.at(i), folded.at(i + 1));
            ++i;
        }
        appendDecomposition(c, characters);
    }
    orderCanonically(characters);
    // Marks outside the Basic Multilingual Plane (Brahmi, Chakma, musical notation) have always
    // stayed: stored search texts keep them.
    characters.removeIf(
        [](char32_t c) { return c >= 0x300 && c <= 0xFFFF && QChar::category(c) == QChar::Mark_NonSpacing; });
    // A mark of class 0 that went may have parted two runs of marks that stay.
    orderCanonically(characters);

    QString stripped;
    stripped.reserve(characters.size());
    for (const char32_t c : std::as_const(characters)) {
        if (QChar::requiresSurrogates(c)) {
            stripped.append(QChar(QChar::highSurrogate(c)));
            stripped.append(QChar(QChar::lowSurrogate(c)));
        } else {
            stripped.append(QChar(char16_t(c)));
        }
    }
    return stripped;
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

// True when a decomposed text in canonical order may be cut before `c` and each side composed
// alone: `c` is a starter that joins nothing before it, so composition never reaches across.
bool startsStably(char32_t c)
{
    return QChar::combiningClass(c) == 0 && !joinsBackward().contains(c);
}

} // namespace

QString SearchFolding::fold(const QString& text)
{
    return *fold(text, nullptr);
}

std::optional<QString> SearchFolding::fold(const QString& text, const std::atomic<bool>* stop, qsizetype piece)
{
    // The marks go before Qt composes what is left: its normalization costs time quadratic in the
    // length of what it is given (a megabyte of Hangul takes seconds), so a long text is composed
    // in pieces cut where that changes nothing.
    const QString folded = fullCaseFold(text);
    if (stopped(stop))
        return std::nullopt;
    const QString stripped = decomposedWithoutMarks(folded);
    piece = std::max<qsizetype>(piece, 1);
    QString result;
    result.reserve(stripped.size());
    qsizetype start = 0;
    qsizetype at = piece;
    while (at < stripped.size()) {
        const QChar c = stripped.at(at);
        const bool cuttable = !c.isLowSurrogate()
            && startsStably(c.isHighSurrogate() && at + 1 < stripped.size()
                                ? QChar::surrogateToUcs4(c, stripped.at(at + 1))
                                : c.unicode());
        if (cuttable) {
            if (stopped(stop))
                return std::nullopt;
            result += stripped.sliced(start, at - start).normalized(QString::NormalizationForm_C);
            start = at;
            at += piece;
        } else {
            ++at;
        }
    }
    if (stopped(stop))
        return std::nullopt;
    result += stripped.sliced(start).normalized(QString::NormalizationForm_C);
    return result;
}

} // namespace tavlin
