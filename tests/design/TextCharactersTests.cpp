#include "TextCharacters.h"

#include <QTextBoundaryFinder>

#include <gtest/gtest.h>

namespace tavlin {
namespace {

// Characters and the position after the first `characters` of them, from one walk over the
// whole text.
std::pair<qsizetype, qsizetype> expected(const QString& text, qsizetype characters)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype seen = 0;
    qsizetype position = 0;
    for (qsizetype next = finder.toNextBoundary(); seen < characters && next > 0; next = finder.toNextBoundary()) {
        position = next;
        ++seen;
    }
    return {seen, position};
}

TEST(TextCharacters, LongTextsCountAndCutAsAWalkOverTheWholeText)
{
    QString zalgo;
    for (int letter = 0; letter < 300; ++letter)
        zalgo += QChar(u'a' + letter % 26) + QString(letter % 90, QChar(0x0300 + letter % 0x70));
    const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467\U0001F44D\U0001F3FD");
    for (const QString& text :
         {QString(100000, u'x'), zalgo, family.repeated(3000), QStringLiteral("e\u0301 ").repeated(5000), QString()}) {
        for (const qsizetype characters :
             {qsizetype(0), qsizetype(1), qsizetype(7), qsizetype(240), qsizetype(4999), qsizetype(1) << 40}) {
            const auto [seen, position] = expected(text, characters);
            EXPECT_EQ(TextCharacters::count(text, characters), seen) << text.size() << " " << characters;
            EXPECT_EQ(TextCharacters::prefixLength(text, characters), position) << text.size() << " " << characters;
        }
    }
}

} // namespace
} // namespace tavlin
