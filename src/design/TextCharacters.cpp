#include "TextCharacters.h"

#include <QTextBoundaryFinder>

namespace tavlin {

namespace {

// Walks the grapheme boundaries; stops after `characters` of them. Returns (characters seen,
// UTF-16 position reached). Looks at the text a window at a time, so that the work follows the
// characters asked for, not the length of the text.
std::pair<qsizetype, qsizetype> walk(QStringView text, qsizetype characters)
{
    qsizetype seen = 0;
    qsizetype position = 0;
    qsizetype window = 4 * qMax<qsizetype>(characters, 0) + 64;
    while (seen < characters && position < text.size()) {
        QStringView part = text.sliced(position, qMin(window, text.size() - position));
        const bool whole = position + part.size() == text.size();
        // Whether a boundary falls before a character depends on all of it.
        if (!whole && part.back().isHighSurrogate())
            part.chop(1);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, part.data(), part.size());
        qsizetype reached = 0;
        // The window's own end is no boundary unless the text ends there: more may belong to
        // the character it cuts.
        for (qsizetype next = finder.toNextBoundary(); seen < characters && next > 0 && (whole || next < part.size());
             next = finder.toNextBoundary()) {
            reached = next;
            ++seen;
        }
        if (reached == 0 && !whole) {
            window *= 2;
            continue;
        }
        position += reached;
        if (whole)
            break;
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

QString TextCharacters::withLineSeparators(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            text[i] = QChar(0x200B);
        else if (c == u'\n' || c == u'\r' || c == 0x0B || c == 0x0C || c == 0x85 || c == 0x2029)
            text[i] = QChar::LineSeparator;
    }
    return text;
}

} // namespace tavlin
