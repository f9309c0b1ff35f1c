#include "SearchFolding.h"

#include <gtest/gtest.h>

using tavlin::SearchFolding;

namespace {

QString fold(const char* text)
{
    return SearchFolding::fold(QString::fromUtf8(text));
}

} // namespace

TEST(SearchFolding, IgnoresCaseAndDiacritics)
{
    EXPECT_EQ(fold("Café"), fold("cafe"));
    EXPECT_EQ(fold("Ёлка"), fold("елка"));
    EXPECT_EQ(fold("ÉCOLE Ñandú"), QStringLiteral("ecole nandu"));
    EXPECT_EQ(fold("ПРИВЕТ, Мир"), QStringLiteral("привет, мир"));
    // "й" is a letter of its own in Russian, but search treats it like its base letter, as it
    // does every accented letter.
    EXPECT_EQ(fold("Йод"), QStringLiteral("иод"));
}

// Letters whose case forms differ in length: what a user types in either form must meet.
TEST(SearchFolding, FoldsLettersThatChangeLengthWithCase)
{
    for (const char* form : {"Straße", "STRASSE", "strasse", "STRAẞE"})
        EXPECT_EQ(fold(form), QStringLiteral("strasse")) << form;
    EXPECT_EQ(fold("ﬁnance ﬂow ﬀ"), QStringLiteral("finance flow ff"));
    EXPECT_EQ(fold("ᾼ ᾳ"), fold("ΑΙ αι"));
    // Turkish: the dotted capital meets "i"; the dotless "ı" stays a letter of its own.
    EXPECT_EQ(fold("İSTANBUL"), fold("istanbul"));
    EXPECT_EQ(fold("İstanbul"), QStringLiteral("istanbul"));
    EXPECT_NE(fold("ılık"), fold("ilik"));
    // Greek: final and medial sigma are one letter; accents go as elsewhere.
    EXPECT_EQ(fold("ΟΔΟΣ"), fold("οδος"));
    EXPECT_EQ(fold("Οδός"), fold("οδοσ"));
}

TEST(SearchFolding, KeepsEverythingElse)
{
    EXPECT_EQ(fold("  50% of a_b  "), QStringLiteral("  50% of a_b  "));
    EXPECT_EQ(fold("日本語 🙂"), QStringLiteral("日本語 🙂"));
    EXPECT_EQ(SearchFolding::fold(QString()), QString());
}

// A long text is normalized piece by piece; where it is cut must never show in the result, or
// a stored record and the search for it would fold apart.
TEST(SearchFolding, FoldsALongTextAsAWhole)
{
    // Characters that decompose, compose with what precedes them, reorder, vanish or expand.
    const QStringList alphabet = {QStringLiteral("a"),
                                  QStringLiteral("É"),
                                  QStringLiteral("e\u0301"),
                                  QStringLiteral("\u0316\u0301\u0327"),
                                  QStringLiteral("한"),
                                  QStringLiteral("국"),
                                  QStringLiteral("\u1100"),
                                  QStringLiteral("\u1161"),
                                  QStringLiteral("\u11A8"),
                                  QStringLiteral("가"),
                                  QStringLiteral("漢字"),
                                  QStringLiteral("ß"),
                                  QStringLiteral("İ"),
                                  QStringLiteral("ᾳ"),
                                  QStringLiteral("\u0F73"),
                                  QStringLiteral("\u0F71\u0F72"),
                                  QStringLiteral("\u0B47"),
                                  QStringLiteral("\u0B3E"),
                                  QStringLiteral("\u0BC6\u0BBE"),
                                  QStringLiteral("\u0E31"),
                                  QStringLiteral("\u0344"),
                                  QStringLiteral("\u0958"),
                                  QStringLiteral("\u212B"),
                                  QStringLiteral("ﬁ"),
                                  QStringLiteral("🙂"),
                                  QStringLiteral("𝐀"),
                                  QStringLiteral("\u3099"),
                                  QStringLiteral("か"),
                                  QStringLiteral(" "),
                                  QStringLiteral("\n"),
                                  QString(QChar(0xD800)),
                                  QStringLiteral("Ё")};
    quint32 seed = 7;
    const auto next = [&seed] { return seed = seed * 1'103'515'245u + 12'345u; };
    for (int round = 0; round < 200; ++round) {
        QString text;
        const int length = 1 + int(next() % 60);
        for (int i = 0; i < length; ++i)
            text += alphabet.at(int((next() >> 8) % alphabet.size()));
        const QString whole = *SearchFolding::fold(text, nullptr, text.size() * 4);
        for (const qsizetype piece : {1, 2, 3, 7})
            ASSERT_EQ(*SearchFolding::fold(text, nullptr, piece), whole)
                << text.toStdString() << " in pieces of " << piece;
    }

    QString korean;
    while (korean.size() < 3 * SearchFolding::pieceLength)
        korean += QStringLiteral("대한민국의 수도는 서울이다. Ünïcödé 漢字 ");
    EXPECT_EQ(SearchFolding::fold(korean), *SearchFolding::fold(korean, nullptr, korean.size()));
}

// A letter under a run of accents whose combining classes take turns: Qt sorts such a run by
// swapping neighbours, and the longest text a record holds took minutes. The folding is the one
// Qt's normalization of the whole text gives, and a stop request ends it.
TEST(SearchFolding, FoldsRunsOfMarksOfAnyLength)
{
    const auto byQt = [](const QString& caseFolded) {
        QString stripped;
        for (const QChar c : caseFolded.normalized(QString::NormalizationForm_D)) {
            if (c.category() != QChar::Mark_NonSpacing)
                stripped += c;
        }
        return stripped.normalized(QString::NormalizationForm_C);
    };
    // Marks that go, marks that stay, letters made of several characters, in runs of all kinds.
    for (const char* text :
         {"a\u0301\u0316\u0301\u0316b", "e\u0323\u0302\u0301\u0316é\u0300", "한\u0301\u1100\u1161\u11A8",
          "\u0E01\u0E31\u0301\u0E31\u0316", "\u0F73\u0301\u0F71\u0316", "\U0001D165\u0301\U0001D16D\u0316\U0001D165",
          "\u302E\u0316\u302F", "\U00011127\u0316\U00011131\u0301", "\u0B47\u0301\u0B3E", "\u0301\u0316 x"})
        EXPECT_EQ(fold(text), byQt(QString::fromUtf8(text))) << text;

    // The longest text a record holds: a megabyte of UTF-8, two bytes a mark.
    QString longest = QStringLiteral("a");
    const QString marks = QStringLiteral("\u0301\u0316\u0302\u0323");
    for (int i = 0; i < 1024 * 1024 / 2 - 1; ++i)
        longest += marks.at(i % marks.size());
    EXPECT_EQ(SearchFolding::fold(longest), QStringLiteral("a"));
    std::atomic<bool> stop = true;
    EXPECT_FALSE(SearchFolding::fold(longest, &stop));
}
