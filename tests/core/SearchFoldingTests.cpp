#include "SearchFolding.h"

#include <gtest/gtest.h>

using tavlin::SearchFolding;

TEST(SearchFolding, IgnoresCaseAndDiacriticsInLatinAndCyrillic)
{
    EXPECT_EQ(SearchFolding::fold(QStringLiteral("Café")), SearchFolding::fold(QStringLiteral("cafe")));
    EXPECT_EQ(SearchFolding::fold(QStringLiteral("Ёлка")), SearchFolding::fold(QStringLiteral("елка")));
    EXPECT_EQ(SearchFolding::fold(QStringLiteral("ÉCOLE Ñandú")), QStringLiteral("ecole nandu"));
    EXPECT_EQ(SearchFolding::fold(QStringLiteral("ПРИВЕТ, Мир")), QStringLiteral("привет, мир"));
    // "й" is a letter of its own in Russian, but search treats it like its base letter, as it
    // does every accented letter.
    EXPECT_EQ(SearchFolding::fold(QStringLiteral("Йод")), QStringLiteral("иод"));
}

TEST(SearchFolding, KeepsEverythingElse)
{
    EXPECT_EQ(SearchFolding::fold(QStringLiteral("  50% of a_b  ")), QStringLiteral("  50% of a_b  "));
    EXPECT_EQ(SearchFolding::fold(QStringLiteral("日本語 🙂")), QStringLiteral("日本語 🙂"));
    EXPECT_EQ(SearchFolding::fold(QString()), QString());
}
