#include "ByteCountFormatter.h"
#include "HistoryQuery.h"
#include "HistorySection.h"
#include "HistoryStore.h"
#include "HistorySummary.h"

#include <gtest/gtest.h>

using namespace tavlin;

namespace {

HistoryStore::Filter filterFor(const QString& search, bool favoritesOnly, QList<ClipKind> kinds,
                               ClipSourceFilter source = ClipSourceFilter::all())
{
    return HistoryStore::queryFilter(HistoryQuery{search, favoritesOnly, std::move(kinds), std::move(source)});
}

} // namespace

TEST(HistoryQuery, ConditionsLineUpWithTheirValues)
{
    auto filter = filterFor(QStringLiteral("  Café  "), false, {});
    EXPECT_EQ(filter.condition, QStringLiteral("instr(search_text, ?) > 0"));
    EXPECT_EQ(filter.values, QStringList{QStringLiteral("cafe")});

    filter = filterFor(QString(), true, {ClipKind::text, ClipKind::richText, ClipKind::other, ClipKind::text},
                       ClipSourceFilter::application(QStringLiteral("org.gnome.gedit")));
    EXPECT_EQ(filter.condition, QStringLiteral("instr(search_text, ?) > 0 AND is_favorite = 1 AND kind IN (?, ?, ?) AND source = ?"));
    EXPECT_EQ(filter.values, (QStringList{QString(), QStringLiteral("other"), QStringLiteral("richText"),
                                          QStringLiteral("text"), QStringLiteral("org.gnome.gedit")}));

    filter = filterFor(QString(), false, {}, ClipSourceFilter::unknown());
    EXPECT_EQ(filter.condition, QStringLiteral("instr(search_text, ?) > 0 AND source IS NULL"));
}

TEST(HistoryQuery, SourceSelections)
{
    const QSet<QString> ids{QStringLiteral("org.b"), QStringLiteral("org.a")};
    auto filter = filterFor(QString(), false, {}, ClipSourceFilter::selection(ids, true));
    EXPECT_EQ(filter.condition, QStringLiteral("instr(search_text, ?) > 0 AND (source IN (?, ?) OR source IS NULL)"));
    EXPECT_EQ(filter.values, (QStringList{QString(), QStringLiteral("org.a"), QStringLiteral("org.b")}));

    filter = filterFor(QString(), false, {}, ClipSourceFilter::selection({}, true));
    EXPECT_EQ(filter.condition, QStringLiteral("instr(search_text, ?) > 0 AND (source IS NULL)"));
    filter = filterFor(QString(), false, {}, ClipSourceFilter::selection({}, false));
    EXPECT_EQ(filter.condition, QStringLiteral("instr(search_text, ?) > 0"));

    EXPECT_TRUE(ClipSourceFilter::all().isAll());
    EXPECT_TRUE(ClipSourceFilter::selection({}, false).isAll());
    EXPECT_FALSE(ClipSourceFilter::selection({}, true).isAll());
    EXPECT_FALSE(ClipSourceFilter::unknown().isAll());

    QSet<QString> reversed;
    reversed.insert(QStringLiteral("org.a"));
    reversed.insert(QStringLiteral("org.b"));
    EXPECT_EQ(ClipSourceFilter::selection(ids, false), ClipSourceFilter::selection(reversed, false));
    EXPECT_NE(ClipSourceFilter::selection({QStringLiteral("org.a")}, false), ClipSourceFilter::application(QStringLiteral("org.a")));
}

TEST(HistoryQuery, RawValuesAndTitles)
{
    EXPECT_EQ(fromRaw<ClipKind>(u"richText"), ClipKind::richText);
    EXPECT_EQ(fromRaw<ClipKind>(u"Text"), std::nullopt);
    EXPECT_EQ(fromRaw<ClipKind>(u""), std::nullopt);
    EXPECT_EQ(fromRaw<HistoryKindFilter>(u"links"), HistoryKindFilter::links);
    EXPECT_EQ(fromRaw<HistoryKindFilter>(u"link"), std::nullopt);
    EXPECT_EQ(fromRaw<HistorySection>(u"favorites"), HistorySection::favorites);
    EXPECT_EQ(kinds(HistoryKindFilter::files), (QList<ClipKind>{ClipKind::file, ClipKind::other}));
    EXPECT_TRUE(kinds(HistoryKindFilter::all).isEmpty());
    EXPECT_EQ(title(HistoryKindFilter::images), QStringLiteral("Images"));
    EXPECT_EQ(ClipSourceSummary{}.id(), QStringLiteral("<unknown>"));
    EXPECT_EQ((ClipSourceSummary{QStringLiteral("org.a"), 2}.id()), QStringLiteral("org.a"));

    // Queries differing only in the order of kinds are different requests.
    const HistoryQuery a{QString(), false, {ClipKind::text, ClipKind::richText}, {}};
    const HistoryQuery b{QString(), false, {ClipKind::richText, ClipKind::text}, {}};
    EXPECT_NE(a, b);
}

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
