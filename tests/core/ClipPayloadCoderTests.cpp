#include "ClipPayloadCoder.h"
#include "DecodingError.h"
#include "TemporaryFolder.h"

#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

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

// Files written now and files libplist wrote before read back alike, at every width the format
// switches at: counts from 15 up, integers past one, two and four bytes, more than 65,535 objects.
TEST(ClipPayloadCoder, RoundTripsLongFileListsAndEveryWidth)
{
    ClipMetadata metadata;
    metadata.characterCount = 0;
    metadata.lineCount = 255;
    metadata.pixelWidth = 65'536;
    metadata.pixelHeight = qint64(1) << 40;
    ClipPayload payload{{}, metadata};
    for (int i = 0; i < 40'000; ++i) {
        const QString name = i % 3 == 0 ? QStringLiteral("Фото %1 🙂.jpg").arg(i)
                                        : QStringLiteral("IMG_%1.jpg").arg(i);
        payload.metadata->filePaths.append(QStringLiteral("/home/user/Pictures/") + name);
        payload.metadata->fileNames.append(name);
        const QByteArray url = QUrl::fromLocalFile(payload.metadata->filePaths.last()).toEncoded();
        payload.items.append(ClipItem{{{QStringLiteral("public.file-url"), url}}});
    }
    // As compact as libplist writes it: a file list that fitted the size limit before still does.
    const QByteArray unique = ClipPayloadCoder::encode(payload);
    EXPECT_EQ(unique.size(), encodeDictionary(parse(unique)).size());

    // Names repeat across folders; texts of 14, 15 and 16 characters; a lone surrogate.
    payload.metadata->fileNames.append(
        {QStringLiteral("IMG_1.jpg"), QString(14, u'x'), QString(15, u'y'), QString(16, u'é'), QString(QChar(0xDC00))});
    payload.metadata->filePaths.append({QStringLiteral("/a/IMG_1.jpg"), QString(14, u'x'), QString(15, u'y'),
                                        QString(16, u'é'), QString(QChar(0xFFFD))});
    payload.items.append(ClipItem{{{QStringLiteral("public.data"), QByteArray(15, '\xff')},
                                   {QStringLiteral("public.png"), QByteArray(70'000, '\0')}}});
    payload.metadata->thumbnail = QByteArray(14, 'p');
    const QByteArray encoded = ClipPayloadCoder::encode(payload);
    ClipPayload expected = payload;
    expected.metadata->fileNames.last() = QStringLiteral("?"); // as UTF-8 has it
    EXPECT_EQ(ClipPayloadCoder::decode(encoded), expected);
    // libplist's own writer, which wrote the files already stored, reads the same way.
    EXPECT_EQ(ClipPayloadCoder::decode(encodeDictionary(parse(encoded))), expected);

    const ClipPayload empty{{}, std::nullopt};
    EXPECT_EQ(ClipPayloadCoder::decode(ClipPayloadCoder::encode(empty)), empty);
}
