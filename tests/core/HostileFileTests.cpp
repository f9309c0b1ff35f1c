// Files a hostile or broken writer can leave: property lists nested to overflow a recursive
// parser, and texts the payload format cannot hold.
#include "ClipPayloadCoder.h"
#include "DecodingError.h"
#include "HostileFiles.h"
#include "PlistNesting.h"
#include "StoreTestSupport.h"

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

TEST(HostileFiles, BinaryNestingIsMeasuredWithoutTrustingTheObjectTable)
{
    EXPECT_TRUE(PlistNesting::isWithin(nestedBinaryArrays(5), 5));
    EXPECT_FALSE(PlistNesting::isWithin(nestedBinaryArrays(6), 5));
    EXPECT_FALSE(PlistNesting::isWithin(nestedBinaryArrays(100'001), 5));
    EXPECT_FALSE(PlistNesting::isWithin(binaryArrayGraph({{0}}), 5)) << "an array holding itself";
    EXPECT_FALSE(PlistNesting::isWithin(binaryArrayGraph({{1}, {2}, {1}}), 50)) << "a cycle below the top";
    EXPECT_FALSE(PlistNesting::isWithin(binaryArrayGraph({{1}, {7}}), 5)) << "a reference past the table";
    QByteArray truncated = nestedBinaryArrays(3);
    truncated.chop(1);
    EXPECT_FALSE(PlistNesting::isWithin(truncated, 5));

    // Shared objects are walked once: three levels of 20,000 references to one array each would
    // be 8 * 10^12 visits otherwise.
    const QList<quint32> wide1(20'000, 1), wide2(20'000, 2), wide3(20'000, 3);
    EXPECT_TRUE(PlistNesting::isWithin(binaryArrayGraph({wide1, wide2, wide3, {}}), 5));
    EXPECT_FALSE(PlistNesting::isWithin(binaryArrayGraph({wide1, wide2, wide3, {4}, {}}), 4))
        << "the longest chain counts, however it is reached";

    // What the coder writes passes, long counts and metadata included.
    ClipPayload payload;
    for (int i = 0; i < 20; ++i)
        payload.items.append(ClipItem{{{QStringLiteral("public.utf8-plain-text"), QByteArray(300, 'a')}}});
    payload.metadata = ClipMetadata{};
    payload.metadata->filePaths = QStringList(20, QStringLiteral("/home/user/a.txt"));
    payload.metadata->fileNames = QStringList(20, QStringLiteral("a.txt"));
    EXPECT_TRUE(PlistNesting::isWithin(ClipPayloadCoder::encode(payload), ClipPayloadCoder::maximumNesting));
}

TEST(HostileFiles, XmlNestingCountsOnlyOpenContainers)
{
    EXPECT_TRUE(PlistNesting::isWithin(nestedXmlArrays(4), 5)) << "the root dictionary counts";
    EXPECT_FALSE(PlistNesting::isWithin(nestedXmlArrays(5), 5));
    EXPECT_FALSE(PlistNesting::isWithin(nestedXmlArrays(50'000), 16));
    const QByteArray flat = "<plist><dict><key>a</key><array/><key>b</key><array></array><key>c</key><array>"
                            "<dict></dict></array><!-- <array><array><array> --></dict></plist>";
    EXPECT_TRUE(PlistNesting::isWithin(flat, 3));
    EXPECT_FALSE(PlistNesting::isWithin(flat, 2));
}

// A file URL with "%00" decodes to a name holding NUL; stored, the record would be damaged from
// the moment it was written.
TEST(HostileFiles, ATextThePayloadFormatWouldCutIsNeverStored)
{
    StoreFixture fixture;
    ClipPayload withName = textPayload(QStringLiteral("file:///tmp/a%00b"));
    withName.metadata = ClipMetadata{};
    withName.metadata->fileNames = {QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b")};
    ClipPayload withType = textPayload(QStringLiteral("x"));
    withType.items[0].representations[0].type = QStringLiteral("public.utf8-plain-text") + QChar(u'\0') + u'x';
    for (const ClipPayload& payload : {withName, withType}) {
        EXPECT_THROW(fixture.store->insert(payload, QStringLiteral("a"), ClipKind::file, std::nullopt, 1000,
                                           HistoryStore::maximumStoredPayloadBytes),
                     DecodingError);
    }
    EXPECT_TRUE(fixture.texts().isEmpty());
    EXPECT_TRUE(payloadFiles(fixture.folder.payloadFolder()).isEmpty());
}
