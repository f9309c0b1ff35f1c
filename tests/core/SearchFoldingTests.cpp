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
