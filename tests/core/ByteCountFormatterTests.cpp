#include "ByteCountFormatter.h"

#include <gtest/gtest.h>

using namespace tavlin;

TEST(ByteCountFormatter, ChoosesTheUnitAndDecimalsBySize)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(ByteCountFormatter::format(0, english), QStringLiteral("Zero KB"));
    EXPECT_EQ(ByteCountFormatter::format(1, english), QStringLiteral("1 byte"));
    EXPECT_EQ(ByteCountFormatter::format(512, english), QStringLiteral("512 bytes"));
    EXPECT_EQ(ByteCountFormatter::format(1536, english), QStringLiteral("2 KB"));
    EXPECT_EQ(ByteCountFormatter::format(1'572'864, english), QStringLiteral("1.5 MB"));
    EXPECT_EQ(ByteCountFormatter::format(33'554'432, english), QStringLiteral("32 MB"));
    EXPECT_EQ(ByteCountFormatter::format(268'435'456, english), QStringLiteral("256 MB"));
    EXPECT_EQ(ByteCountFormatter::format(1024 * 1024 - 10, english), QStringLiteral("1 MB"));
    EXPECT_EQ(ByteCountFormatter::format(1'342'177'280, english), QStringLiteral("1.25 GB"));
    EXPECT_EQ(ByteCountFormatter::format(1'572'864, QLocale(QLocale::Russian)), QStringLiteral("1,5 MB"));
}
