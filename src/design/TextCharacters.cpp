#include "TextCharacters.h"

#include <QTextBoundaryFinder>

namespace tavlin {

namespace {

struct Walked {
    qsizetype seen = 0;
    qsizetype position = 0;
    // Whether it stopped in a character too long, cut at `position`.
    bool cut = false;
};

// Walks the grapheme boundaries; stops after `characters` of them, or in the first character
// too long. Looks at the text a window at a time, so that the work follows the characters asked
// for, not the length of the text (nor of one character).
// Where a character too long that starts at `start` is cut.
qsizetype cut(QStringView text, qsizetype start)
{
    const qsizetype end = start + TextCharacters::longestCharacter;
    return text[end - 1].isHighSurrogate() ? end - 1 : end;
}

Walked walk(QStringView text, qsizetype characters)
{
    Walked walked;
    const auto cutAfter = [&](qsizetype start) { return Walked{walked.seen + 1, cut(text, start), true}; };
    qsizetype window = 4 * qMax<qsizetype>(characters, 0) + 2 * TextCharacters::longestCharacter;
    while (walked.seen < characters && walked.position < text.size()) {
        const qsizetype position = walked.position;
        QStringView part = text.sliced(position, qMin(window, text.size() - position));
        const bool whole = position + part.size() == text.size();
        // Whether a boundary falls before a character depends on all of it.
        if (!whole && part.back().isHighSurrogate())
            part.chop(1);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, part.data(), part.size());
        qsizetype reached = 0;
        // The window's own end is no boundary unless the text ends there: more may belong to
        // the character it cuts.
        for (qsizetype next = finder.toNextBoundary();
             walked.seen < characters && next > 0 && (whole || next < part.size()); next = finder.toNextBoundary()) {
            if (next - reached > TextCharacters::longestCharacter)
                return cutAfter(position + reached);
            reached = next;
            ++walked.seen;
        }
        if (walked.seen < characters && !whole && part.size() - reached > TextCharacters::longestCharacter)
            return cutAfter(position + reached);
        if (reached == 0 && !whole) {
            window *= 2;
            continue;
        }
        walked.position += reached;
        if (whole)
            break;
    }
    return walked;
}

} // namespace

qsizetype TextCharacters::count(QStringView text, qsizetype limit)
{
    const Walked walked = walk(text, limit);
    return walked.cut ? qMax<qsizetype>(limit, 0) : walked.seen;
}

qsizetype TextCharacters::prefixLength(QStringView text, qsizetype characters)
{
    return walk(text, characters).position;
}

QList<std::pair<qsizetype, qsizetype>> TextCharacters::pastCuts(QStringView text)
{
    QList<std::pair<qsizetype, qsizetype>> parts;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data(), text.size());
    for (qsizetype start = 0, next = finder.toNextBoundary(); next > 0; start = next, next = finder.toNextBoundary()) {
        if (next - start > longestCharacter) {
            const qsizetype end = cut(text, start);
            parts.append({end, next - end});
        }
    }
    return parts;
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
