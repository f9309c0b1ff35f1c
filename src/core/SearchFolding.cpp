#include "SearchFolding.h"

namespace tavlin {

QString SearchFolding::fold(const QString& text)
{
    const QString decomposed = text.toCaseFolded().normalized(QString::NormalizationForm_D);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            folded.append(c);
    }
    return folded.normalized(QString::NormalizationForm_C);
}

} // namespace tavlin
