#include "ClipPayloadCoder.h"
#include "DecodingError.h"
#include "TemporaryFolder.h"

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>
#include <plist/plist.h>

using namespace tavlin;

namespace {

ClipPayload richPayload()
{
    ClipMetadata metadata;
    metadata.characterCount = 3;
    metadata.pixelWidth = 1;
    metadata.filePaths = {QStringLiteral("/tmp/Ёлка.txt")};
    metadata.fileNames = {QStringLiteral("Ёлка.txt")};
    metadata.thumbnail = QByteArray("\x00\x01\x02", 3);
    return {{ClipItem{{{QStringLiteral("public.html"), QByteArray("<b>abc</b>")},
                       {QStringLiteral("public.utf8-plain-text"), QByteArray("abc")}}},
             ClipItem{{{QStringLiteral("public.png"), QByteArray("\x89PNG\x00\xff", 6)}}}},
            metadata};
}

plist_t parse(const QByteArray& bytes)
{
    plist_t root = nullptr;
    plist_from_bin(bytes.constData(), static_cast<uint32_t>(bytes.size()), &root);
    return root;
}

QByteArray encodeDictionary(plist_t root)
{
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    QByteArray encoded(bytes, length);
    plist_to_bin_free(bytes);
    plist_free(root);
    return encoded;
}

} // namespace

TEST(ClipPayloadCoder, RoundTripsEveryFieldAndLeavesAbsentOptionalsOut)
{
    const ClipPayload payload = richPayload();
    const QByteArray encoded = ClipPayloadCoder::encode(payload);
    EXPECT_TRUE(encoded.startsWith("bplist00"));
    EXPECT_EQ(ClipPayloadCoder::decode(encoded), payload);

    ClipPayload sparse = payload;
    sparse.metadata = ClipMetadata{};
    const QByteArray sparseBytes = ClipPayloadCoder::encode(sparse);
    EXPECT_EQ(ClipPayloadCoder::decode(sparseBytes), sparse);
    plist_t root = parse(sparseBytes);
    plist_t metadata = plist_dict_get_item(root, "metadata");
    ASSERT_NE(metadata, nullptr);
    EXPECT_EQ(plist_dict_get_size(metadata), 2u) << "only filePaths and fileNames";
    EXPECT_NE(plist_dict_get_item(metadata, "filePaths"), nullptr);
    EXPECT_EQ(plist_dict_get_item(metadata, "thumbnail"), nullptr);
    plist_free(root);

    ClipPayload bare = payload;
    bare.metadata.reset();
    root = parse(ClipPayloadCoder::encode(bare));
    EXPECT_EQ(plist_dict_get_item(root, "metadata"), nullptr);
    plist_free(root);
    EXPECT_EQ(ClipPayloadCoder::decode(ClipPayloadCoder::encode(bare)), bare);
}

TEST(ClipPayloadCoder, RefusesDataThatIsNotAPayload)
{
    EXPECT_THROW(ClipPayloadCoder::decode(QByteArray()), DecodingError);
    EXPECT_THROW(ClipPayloadCoder::decode("not a property list"), DecodingError);
    EXPECT_THROW(ClipPayloadCoder::decode(ClipPayloadCoder::encode(richPayload()).left(40)), DecodingError);

    // Metadata without "fileNames" fails the whole payload.
    plist_t root = parse(ClipPayloadCoder::encode(richPayload()));
    plist_dict_remove_item(plist_dict_get_item(root, "metadata"), "fileNames");
    EXPECT_THROW(ClipPayloadCoder::decode(encodeDictionary(root)), DecodingError);

    // A representation whose data is a string, not data.
    root = parse(ClipPayloadCoder::encode(richPayload()));
    plist_t first = plist_array_get_item(
        plist_dict_get_item(plist_array_get_item(plist_dict_get_item(root, "items"), 0), "representations"), 0);
    plist_dict_set_item(first, "data", plist_new_string("abc"));
    EXPECT_THROW(ClipPayloadCoder::decode(encodeDictionary(root)), DecodingError);

    // A root that is an array, not a dictionary.
    EXPECT_THROW(ClipPayloadCoder::decode(encodeDictionary(plist_new_array())), DecodingError);
}

// Payload files must stay readable by any standard reader, not only by libplist.
TEST(ClipPayloadCoder, IsAStandardBinaryPropertyList)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    test::TemporaryFolder folder;
    const QString path = folder.path() + QStringLiteral("/payload.clip");
    test::writeFile(path, ClipPayloadCoder::encode(richPayload()));

    QProcess process;
    process.start(python,
                  {QStringLiteral("-c"), QStringLiteral(R"(
import plistlib, sys
p = plistlib.load(open(sys.argv[1], 'rb'), fmt=plistlib.FMT_BINARY)
expected = {
  'items': [
    {'representations': [{'type': 'public.html', 'data': b'<b>abc</b>'},
                         {'type': 'public.utf8-plain-text', 'data': b'abc'}]},
    {'representations': [{'type': 'public.png', 'data': b'\x89PNG\x00\xff'}]}],
  'metadata': {'characterCount': 3, 'pixelWidth': 1, 'filePaths': ['/tmp/Ёлка.txt'],
               'fileNames': ['Ёлка.txt'], 'thumbnail': b'\x00\x01\x02'}}
sys.exit(0 if p == expected else 1)
)"),
                   path});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
}
