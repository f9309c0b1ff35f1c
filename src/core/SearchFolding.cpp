#include "SearchFolding.h"

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

} // namespace

QString SearchFolding::fold(const QString& text)
{
    const QString decomposed = fullCaseFold(text).normalized(QString::NormalizationForm_D);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            folded.append(c);
    }
    return folded.normalized(QString::NormalizationForm_C);
}

} // namespace tavlin
