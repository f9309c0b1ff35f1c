#include "TextCharacters.h"

#include <QTextBoundaryFinder>

namespace tavlin {

namespace {

// Walks the grapheme boundaries; stops after `characters` of them. Returns (characters seen,
// UTF-16 position reached).
std::pair<qsizetype, qsizetype> walk(QStringView text, qsizetype characters)
{
    if (characters <= 0 || text.isEmpty())
        return {0, 0};
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data(), text.size());
    qsizetype seen = 0;
    qsizetype position = 0;
    while (seen < characters) {
        const qsizetype next = finder.toNextBoundary();
        if (next < 0)
            break;
        position = next;
        ++seen;
    }
    return {seen, position};
}

} // namespace

qsizetype TextCharacters::count(QStringView text, qsizetype limit)
{
    return walk(text, limit).first;
}

qsizetype TextCharacters::prefixLength(QStringView text, qsizetype characters)
{
    return walk(text, characters).second;
}

} // namespace tavlin
