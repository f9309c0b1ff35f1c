#include "ClipPayload.h"
#include "HistoryStore.h"

#include <gtest/gtest.h>

using namespace tavlin;

namespace {

ClipRepresentation rep(const char* type, const QByteArray& data)
{
    return {QString::fromUtf8(type), data};
}

ClipMetadata sampleMetadata()
{
    ClipMetadata metadata;
    metadata.characterCount = 5;
    metadata.lineCount = 1;
    metadata.pixelWidth = 640;
    metadata.pixelHeight = 480;
    metadata.filePaths = {QStringLiteral("/home/ann/Ёлка \"x\".txt")};
    metadata.fileNames = {QStringLiteral("Ёлка \"x\".txt")};
    metadata.thumbnail = QByteArray("\x89PNG\r\n\x1a\n", 8);
    return metadata;
}

} // namespace

// The expected digests were computed once with Python's hashlib and json from the same
// algorithm; they pin the stored format, so a change here breaks every existing history.
TEST(Fingerprint, MatchesDigestsComputedIndependently)
{
    EXPECT_EQ(HistoryStore::fingerprint({}),
              QStringLiteral("af5570f5a1810b7af78caf4bc70a660f0df51e42baf91d4de5b2328de0e83dfc"));
    EXPECT_EQ(HistoryStore::fingerprint({{ClipItem{{rep("public.utf8-plain-text", "hello")}}}, std::nullopt}),
              QStringLiteral("7672414a86670cb97ff2c8fc4cbf93197c1ac8558bf23a47d2c567d7d00ae65f"));

    const ClipPayload withMetadata{
        {ClipItem{{rep("public.utf8-plain-text", "hello"), rep("public.html", "<b>hello</b>")}}}, sampleMetadata()};
    EXPECT_EQ(HistoryStore::fingerprint(withMetadata),
              QStringLiteral("af2306e4b9a394b95174eb205b340d3dfceccdab1e64daed41a446e1e50dde83"));

    const ClipPayload emptyMetadata{{ClipItem{{rep("public.utf8-plain-text", "hello")}}}, ClipMetadata{}};
    EXPECT_EQ(HistoryStore::fingerprint(emptyMetadata),
              QStringLiteral("911fbb3981eb961ce579e4ee7440bd312fc7dbb74fe2e4d6a73a1a4daa950b1c"));
}

TEST(Fingerprint, MetadataJSONIsSortedCompactAndEscaped)
{
    EXPECT_EQ(
        sampleMetadata().sortedKeyJSON(),
        QByteArray(R"({"characterCount":5,"fileNames":["Ёлка \"x\".txt"],"filePaths":["\/home\/ann\/Ёлка \"x\".txt"],)"
                   R"("lineCount":1,"pixelHeight":480,"pixelWidth":640,"thumbnail":"iVBORw0KGgo="})"));
    ClipMetadata controls;
    controls.fileNames = {QStringLiteral("a\tb\nc\\d\x01")};
    EXPECT_EQ(controls.sortedKeyJSON(), QByteArray(R"({"fileNames":["a\tb\nc\\d\u0001"],"filePaths":[]})"));
}

TEST(Fingerprint, RepresentationOrderInsideAnItemDoesNotMatterButItemOrderDoes)
{
    const ClipItem a{{rep("public.utf8-plain-text", "x"), rep("public.html", "<i>x</i>")}};
    const ClipItem aReordered{{rep("public.html", "<i>x</i>"), rep("public.utf8-plain-text", "x")}};
    const ClipItem b{{rep("public.file-url", "file:///tmp/b")}};
    EXPECT_EQ(HistoryStore::fingerprint({{a, b}, std::nullopt}),
              HistoryStore::fingerprint({{aReordered, b}, std::nullopt}));
    EXPECT_NE(HistoryStore::fingerprint({{a, b}, std::nullopt}), HistoryStore::fingerprint({{b, a}, std::nullopt}));

    // Equal types sort by their bytes, so duplicates of one type hash the same in any order.
    const ClipItem twins{{rep("public.png", "\xff"), rep("public.png", "\x01")}};
    const ClipItem twinsSwapped{{rep("public.png", "\x01"), rep("public.png", "\xff")}};
    EXPECT_EQ(HistoryStore::fingerprint({{twins}, std::nullopt}),
              HistoryStore::fingerprint({{twinsSwapped}, std::nullopt}));
}

TEST(Fingerprint, MetadataPresenceAndContentChangeTheDigest)
{
    const ClipPayload bare{{ClipItem{{rep("public.utf8-plain-text", "hello")}}}, std::nullopt};
    ClipPayload described = bare;
    described.metadata = ClipMetadata{};
    EXPECT_NE(HistoryStore::fingerprint(bare), HistoryStore::fingerprint(described));
    ClipPayload counted = described;
    counted.metadata->characterCount = 5;
    EXPECT_NE(HistoryStore::fingerprint(described), HistoryStore::fingerprint(counted));
    // Length prefixes keep a type/data boundary shift from colliding.
    const ClipPayload shifted{{ClipItem{{rep("public.utf8-plain-texth", "ello")}}}, std::nullopt};
    EXPECT_NE(HistoryStore::fingerprint(bare), HistoryStore::fingerprint(shifted));
}
