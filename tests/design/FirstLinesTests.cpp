#include "FirstLines.h"

#include "TextCharacters.h"

#include <QFontMetricsF>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace tavlin {
namespace {

struct Line {
    qsizetype start = 0;
    qsizetype length = 0;
    qreal width = 0;
    qreal y = 0;
    bool operator==(const Line&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Line& line)
{
    return out << "[" << line.start << "+" << line.length << " w" << line.width << " y" << line.y << "]";
}

// The first lines of a layout of the whole text, as a card drew them before it laid out less, and
// how much of the text they need: up to the end of the last, or to where a line too wide to wrap
// passes the width, and the reach beyond.
QList<Line> wholeLayout(const QString& text, const QFont& font, const QTextOption& option, qreal width, int count,
                        qsizetype* needed = nullptr)
{
    QTextLayout layout(text, font);
    layout.setTextOption(option);
    layout.beginLayout();
    QList<Line> lines;
    qreal y = 0;
    qsizetype end = 0;
    for (QTextLine line = layout.createLine(); line.isValid() && lines.size() < count; line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        lines.append({line.textStart(), line.textLength(), line.naturalTextWidth(), y});
        y += line.height();
        end = line.naturalTextWidth() > width && option.wrapMode() == QTextOption::NoWrap
            ? line.xToCursor(width)
            : line.textStart() + line.textLength();
    }
    layout.endLayout();
    if (needed)
        *needed = qMin(text.size(), end + FirstLines::reach);
    return lines;
}

QList<Line> firstLines(const FirstLines& first)
{
    QList<Line> lines;
    for (int i = 0; i < first.lineCount(); ++i) {
        const QTextLine line = first.lineAt(i);
        lines.append({line.textStart(), line.textLength(), line.naturalTextWidth(), line.y()});
    }
    return lines;
}

QString zalgo(int letters)
{
    QString text;
    for (int letter = 0; letter < letters; ++letter)
        text += QChar(u'a' + letter % 26) + QString(30, QChar(0x0300 + letter % 0x70));
    return text;
}

TEST(FirstLines, LinesAreThoseOfTheWholeTextFromOnlyWhatTheyNeed)
{
    const QString emoji = QStringLiteral("\U0001F600\U0001F44D\U0001F3FD\U0001F680");
    const QList<QString> texts = {
        QStringLiteral("A few words, wrapped as a card wraps them. ").repeated(40),
        emoji.repeated(600),
        zalgo(300),
        QString(3000, QChar(0x4E2D)),
        // A word longer than a line after a short one, and line breaks of every kind.
        QStringLiteral("short ") + QString(900, u'x') + QStringLiteral(" end"),
        TextCharacters::withLineSeparators(QStringLiteral("one\ntwo\r\nthree\n\n").repeated(100)),
        QStringLiteral("\u0645\u0631\u062D\u0628\u0627 \u0628\u0627\u0644\u0639\u0627\u0644\u0645 ").repeated(150),
        QStringLiteral("short"),
    };
    QFont font;
    font.setPixelSize(15);
    for (const bool wrap : {true, false}) {
        QTextOption option;
        option.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
        const int count = wrap ? 5 : 1;
        for (const QString& text : texts) {
            for (const qreal width : {40.0, 204.0, 380.0}) {
                const FirstLines first(text, font, option, width, count);
                qsizetype needed = 0;
                QList<Line> expected = wholeLayout(text, font, option, width, count, &needed);
                // Qt makes every line of a run of text as tall as the tallest font any glyph of the
                // run falls back to, wherever in the run: laid out whole, a text's first lines are as
                // tall as a mark far below them makes them. How tall the lines are is the cut text's.
                const QList<Line> cut = wholeLayout(text.left(first.laidOutLength()), font, option, width, count);
                for (qsizetype i = 0; i < qMin(expected.size(), cut.size()); ++i)
                    expected[i].y = cut[i].y;
                // A line that does not wrap and is too wide is elided, not drawn: only its start matters.
                if (!wrap && expected.front().width > width) {
                    EXPECT_EQ(first.lineAt(0).textStart(), 0);
                    EXPECT_GT(first.lineAt(0).naturalTextWidth(), width);
                } else {
                    EXPECT_EQ(firstLines(first), expected) << text.left(12).toStdString() << " at " << width;
                }
                // The part laid out grows by doubling from a few lines' worth.
                if (text.size() > 2000) {
                    EXPECT_LE(first.laidOutLength(), qMax<qsizetype>(2 * needed, 1000))
                        << text.left(12).toStdString() << " at " << width << " needs " << needed;
                }
            }
        }
    }
}

TEST(FirstLines, ElidedAsTheWholeTextWouldBe)
{
    QFont font;
    font.setPixelSize(15);
    const QFontMetricsF metrics(font);
    const QString emoji = QStringLiteral("\U0001F600\U0001F44D\U0001F3FD\U0001F680").repeated(700);
    const QString lines = QStringLiteral("a\nb\n").repeated(500);
    for (const QString& text : {emoji, lines, zalgo(200), QStringLiteral("fits")}) {
        for (const Qt::TextElideMode mode : {Qt::ElideRight, Qt::ElideMiddle}) {
            const QString whole = QString(text).replace(u'\n', u' ');
            EXPECT_EQ(FirstLines::elided(text, font, mode, 180), metrics.elidedText(whole, mode, 180))
                << text.left(8).toStdString() << " " << mode;
        }
    }
}

} // namespace
} // namespace tavlin
