#include "DesignTestSupport.h"
#include "HistoryTimestamp.h"

#include <gtest/gtest.h>

namespace tavlin {
namespace {

const QDateTime now(QDate(2024, 12, 6), QTime(15, 5), Qt::UTC);

QString ago(double seconds)
{
    return HistoryTimestamp::relative(now.addMSecs(qint64(-seconds * 1000)), now);
}

TEST(HistoryTimestampRelative, RoundsDownToWholeUnits)
{
    EXPECT_EQ(ago(0), QStringLiteral("Now"));
    EXPECT_EQ(ago(59.9), QStringLiteral("Now"));
    EXPECT_EQ(ago(60), QStringLiteral("1 min"));
    EXPECT_EQ(ago(119), QStringLiteral("1 min"));
    EXPECT_EQ(ago(3599), QStringLiteral("59 min"));
    EXPECT_EQ(ago(3600), QStringLiteral("1 h"));
    EXPECT_EQ(ago(86399), QStringLiteral("23 h"));
    EXPECT_EQ(ago(86400), QStringLiteral("1 d"));
    EXPECT_EQ(ago(400 * 86400.0), QStringLiteral("400 d"));
    // Future and invalid times read "Now".
    EXPECT_EQ(ago(-3600), QStringLiteral("Now"));
    EXPECT_EQ(HistoryTimestamp::relative(QDateTime(), now), QStringLiteral("Now"));
}

TEST(HistoryTimestampRelative, NextChangeIsTheFirstMomentTheAgeReadsOtherwise)
{
    for (double seconds : {-3600.0, 0.0, 30.0, 59.9, 60.0, 61.5, 3599.0, 3600.0, 5000.0, 86399.0, 86400.0, 3e6}) {
        const QDateTime date = now.addMSecs(qint64(-seconds * 1000));
        const QDateTime change = HistoryTimestamp::nextChange(date, now);
        ASSERT_GT(change, now) << seconds;
        const QString shown = HistoryTimestamp::relative(date, now);
        EXPECT_EQ(HistoryTimestamp::relative(date, change.addMSecs(-1)), shown) << seconds;
        EXPECT_NE(HistoryTimestamp::relative(date, change), shown) << seconds;
    }
    EXPECT_FALSE(HistoryTimestamp::nextChange(QDateTime(), now).isValid());
}

TEST(HistoryTimestampRelative, RussianInterface)
{
    test::ScopedLanguage russian(QStringLiteral("ru"));
    EXPECT_EQ(ago(10), QStringLiteral("Сейчас"));
    EXPECT_EQ(ago(5 * 60), QStringLiteral("5 мин"));
    EXPECT_EQ(ago(21 * 3600), QStringLiteral("21 ч"));
    EXPECT_EQ(ago(3 * 86400), QStringLiteral("3 дн."));
}

TEST(HistoryTimestampAbsolute, FollowsTheLocalesMonthNamesAndClock)
{
    EXPECT_EQ(HistoryTimestamp::absolute(now, QLocale(QLocale::English, QLocale::UnitedStates)),
              QStringLiteral("Dec 6, 3:05 PM"));
    EXPECT_EQ(HistoryTimestamp::absolute(now, QLocale(QLocale::English, QLocale::UnitedKingdom)),
              QStringLiteral("6 Dec, 15:05"));
    EXPECT_EQ(HistoryTimestamp::absolute(now, QLocale(QLocale::Russian, QLocale::Russia)),
              QStringLiteral("6 дек., 15:05"));
    // A Russian interface in another region still writes Russian.
    EXPECT_TRUE(HistoryTimestamp::absolute(now, QLocale(QLocale::Russian, QLocale::UnitedStates)).startsWith(u"6 дек"));
}

TEST(HistoryTimestampAbsolute, UsesLocalTime)
{
    const QDateTime utc(QDate(2024, 12, 6), QTime(23, 30), Qt::UTC);
    const QDateTime shifted = utc.toOffsetFromUtc(5 * 3600);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    // The same moment, however it was recorded, reads the same.
    EXPECT_EQ(HistoryTimestamp::absolute(utc, english), HistoryTimestamp::absolute(shifted, english));
}

} // namespace
} // namespace tavlin
