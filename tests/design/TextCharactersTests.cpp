#include "TextCharacters.h"

#include <QTextBoundaryFinder>

#include <gtest/gtest.h>

namespace tavlin {
namespace {

// Characters and the position after the first `characters` of them, from one walk over the
// whole text; a character too long ends the walk, cut after its first units, and then counts as
// reaching the limit.
std::pair<qsizetype, qsizetype> expected(const QString& text, qsizetype characters)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype seen = 0;
    qsizetype position = 0;
    for (qsizetype next = finder.toNextBoundary(); seen < characters && next > 0; next = finder.toNextBoundary()) {
        if (next - position > TextCharacters::longestCharacter) {
            position += TextCharacters::longestCharacter;
            if (text[position - 1].isHighSurrogate())
                --position;
            return {characters, position};
        }
        position = next;
        ++seen;
    }
    return {seen, position};
}

// A letter under `marks` tremolo signs, each a surrogate pair.
QString tremolo(qsizetype marks)
{
    return QStringLiteral("a") + QStringLiteral("\U0001D167").repeated(marks);
}

TEST(TextCharacters, LongTextsCountAndCutAsAWalkOverTheWholeText)
{
    QString zalgo;
    for (int letter = 0; letter < 300; ++letter)
        zalgo += QChar(u'a' + letter % 26) + QString(letter % 90, QChar(0x0300 + letter % 0x70));
    const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467\U0001F44D\U0001F3FD");
    const QString oneCharacter = QStringLiteral("e") + QString(524286, QChar(0x0301));
    for (const QString& text :
         {QString(100000, u'x'), zalgo, family.repeated(3000), QStringLiteral("e\u0301 ").repeated(5000), oneCharacter,
          QStringLiteral("word ") + oneCharacter, tremolo(100000), QString()}) {
        for (const qsizetype characters :
             {qsizetype(0), qsizetype(1), qsizetype(7), qsizetype(240), qsizetype(4999), qsizetype(1) << 40}) {
            const auto [seen, position] = expected(text, characters);
            EXPECT_EQ(TextCharacters::count(text, characters), seen) << text.size() << " " << characters;
            EXPECT_EQ(TextCharacters::prefixLength(text, characters), position) << text.size() << " " << characters;
        }
    }
}

TEST(TextCharacters, OnlyACharacterTooLongIsCutAndNeverInsideASurrogatePair)
{
    // A megabyte of one character is cut after its first units, and the text with it.
    const QString oneCharacter = QStringLiteral("e") + QString(524286, QChar(0x0301));
    EXPECT_EQ(TextCharacters::prefixLength(oneCharacter, 1200), TextCharacters::longestCharacter);
    EXPECT_EQ(TextCharacters::prefixLength(QStringLiteral("word ") + oneCharacter, 1200),
              5 + TextCharacters::longestCharacter);
    // Too long to show whole, it counts as a long text.
    EXPECT_EQ(TextCharacters::count(oneCharacter, 161), 161);

    // Where the cut would part a surrogate pair, the pair goes whole.
    const QString pairs = tremolo(1000);
    const qsizetype cut = TextCharacters::prefixLength(pairs, 1);
    EXPECT_EQ(cut, TextCharacters::longestCharacter - 1);
    EXPECT_TRUE(pairs[cut - 1].isLowSurrogate());
    EXPECT_EQ(TextCharacters::prefixLength(tremolo(31), 1), 63);

    // The longest characters people write stay whole: emoji sequences, flags, a letter with its
    // accents.
    const QString written = QStringLiteral(
        "\U0001F469\U0001F3FB\u200D\u2764\uFE0F\u200D\U0001F48B\u200D\U0001F469\U0001F3FC"
        "\U0001F3F4\U000E0067\U000E0062\U000E0073\U000E0063\U000E0074\U000E007F"
        "\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466 a\u0323\u0302\u0301");
    EXPECT_EQ(TextCharacters::count(written, 100), 5);
    EXPECT_EQ(TextCharacters::prefixLength(written, 100), written.size());
}

} // namespace
} // namespace tavlin
