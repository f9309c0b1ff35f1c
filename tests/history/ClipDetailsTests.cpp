#include "ClipDetails.h"

#include "ImageSamples.h"
#include "PayloadPreview.h"
#include "TemporaryFolder.h"

#include <QFile>
#include <QUrl>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

ClipPayload payloadOf(QList<ClipRepresentation> representations)
{
    return {{ClipItem{std::move(representations)}}, std::nullopt};
}

ClipRepresentation fileURL(const QString& path)
{
    return {QStringLiteral("public.file-url"), QUrl::fromLocalFile(path).toEncoded()};
}

ClipMetadata imageMetadata(const QByteArray& bytes, const QString& type = QStringLiteral("public.png"))
{
    return ClipDetails::capture(payloadOf({{type, bytes}}), QStringLiteral("Изображение"), ClipKind::image);
}

} // namespace

TEST(ClipDetails, CountsUserPerceivedCharacters)
{
    EXPECT_EQ(ClipDetails::characterCount(QString()), 0);
    EXPECT_EQ(ClipDetails::characterCount(QStringLiteral("a\nb\n")), 4);
    EXPECT_EQ(ClipDetails::characterCount(QStringLiteral("a\r\nb")), 3) << "CR LF is one character";
    EXPECT_EQ(ClipDetails::characterCount(QStringLiteral("e\u0301")), 1);
    EXPECT_EQ(ClipDetails::characterCount(QStringLiteral("👨‍👩‍👧 🇷🇺")), 3)
        << "emoji sequences are single characters";
    EXPECT_EQ(ClipDetails::characterCount(QStringLiteral("Ёлка")), 4);
}

TEST(ClipDetails, CountsLinesByBreaksNotByTrailingOnes)
{
    EXPECT_EQ(ClipDetails::lineCount(QString()), 0);
    EXPECT_EQ(ClipDetails::lineCount(QStringLiteral("one line")), 1);
    EXPECT_EQ(ClipDetails::lineCount(QStringLiteral("a\nb\n")), 2);
    EXPECT_EQ(ClipDetails::lineCount(QStringLiteral("a\n\nb")), 3);
    EXPECT_EQ(ClipDetails::lineCount(QStringLiteral("\n")), 1);
    EXPECT_EQ(ClipDetails::lineCount(QStringLiteral("\n\n")), 2);
    EXPECT_EQ(ClipDetails::lineCount(QStringLiteral("a\r\nb")), 2) << "CR LF is one break";
    EXPECT_EQ(ClipDetails::lineCount(QStringLiteral("a\rb\u2028c\u2029d\u0085e\vf\fg")), 7);
}

TEST(ClipDetails, TextKindsGetCountsAndOthersDont)
{
    const ClipPayload text = payloadOf({{QStringLiteral("public.utf8-plain-text"), "a\nb\n"}});
    for (ClipKind kind : {ClipKind::text, ClipKind::link, ClipKind::richText}) {
        const ClipMetadata metadata = ClipDetails::capture(text, QStringLiteral("a\nb\n"), kind);
        EXPECT_EQ(metadata.characterCount, 4) << qPrintable(toRaw(kind));
        EXPECT_EQ(metadata.lineCount, 2);
    }
    for (ClipKind kind : {ClipKind::image, ClipKind::file, ClipKind::other}) {
        const ClipMetadata metadata = ClipDetails::capture(text, QStringLiteral("a\nb\n"), kind);
        EXPECT_EQ(metadata, ClipMetadata{}) << qPrintable(toRaw(kind));
    }

    // The stored text replaces undecodable bytes; it is counted as shown.
    const QString repaired = QString::fromUtf8(QByteArray("ab\xff\xfe"
                                                          "c"));
    EXPECT_EQ(ClipDetails::capture(payloadOf({{QStringLiteral("public.utf8-plain-text"),
                                               "ab\xff\xfe"
                                               "c"}}),
                                   repaired, ClipKind::text)
                  .characterCount,
              repaired.size());
}

TEST(ClipDetails, HtmlOnlyRichTextHasNoCounts)
{
    const ClipRepresentation html{QStringLiteral("public.html"), "<b>x</b>"};
    const ClipRepresentation rtf{QStringLiteral("public.rtf"), "{\\rtf1 x}"};
    const ClipMetadata htmlOnly = ClipDetails::capture(payloadOf({html}), QStringLiteral("Форматированный текст"),
                                                       ClipKind::richText);
    EXPECT_EQ(htmlOnly.characterCount, std::nullopt);
    EXPECT_EQ(htmlOnly.lineCount, std::nullopt);
    const ClipMetadata withRTF = ClipDetails::capture(payloadOf({html, rtf}), QStringLiteral("x"), ClipKind::richText);
    EXPECT_EQ(withRTF.characterCount, 1);
    EXPECT_EQ(withRTF.lineCount, 1);
}

TEST(ClipDetails, ImageGetsItsSizeAndAReducedPNG)
{
    const ClipMetadata metadata = imageMetadata(png(600, 400));
    EXPECT_EQ(metadata.pixelWidth, 600);
    EXPECT_EQ(metadata.pixelHeight, 400);
    ASSERT_TRUE(metadata.thumbnail);
    EXPECT_TRUE(metadata.thumbnail->startsWith("\x89PNG"));
    EXPECT_EQ(imageSize(*metadata.thumbnail), QSize(256, 171));
    EXPECT_EQ(metadata.characterCount, std::nullopt);

    const ClipMetadata small = imageMetadata(png(40, 30));
    EXPECT_EQ(imageSize(small.thumbnail.value_or(QByteArray())), QSize(40, 30)) << "small images are not enlarged";

    const ClipMetadata jpeg = imageMetadata(encoded(QImage(300, 1200, QImage::Format_RGB32), "JPEG"),
                                            QStringLiteral("public.jpeg"));
    EXPECT_EQ(imageSize(jpeg.thumbnail.value_or(QByteArray())), QSize(64, 256));
}

TEST(ClipDetails, ExifOrientationTurnsSizeAndThumbnail)
{
    const ClipMetadata turned = imageMetadata(jpegWithOrientation(1000, 750, 6), QStringLiteral("public.jpeg"));
    EXPECT_EQ(turned.pixelWidth, 750);
    EXPECT_EQ(turned.pixelHeight, 1000);
    EXPECT_EQ(imageSize(turned.thumbnail.value_or(QByteArray())), QSize(192, 256));

    const ClipMetadata upsideDown = imageMetadata(jpegWithOrientation(1000, 750, 3), QStringLiteral("public.jpeg"));
    EXPECT_EQ(upsideDown.pixelWidth, 1000);
    EXPECT_EQ(imageSize(upsideDown.thumbnail.value_or(QByteArray())), QSize(256, 192));
}

TEST(ClipDetails, HugeImagesKeepTheirSizeButAreNeverDecoded)
{
    // The wide ones are small in memory and would decode for real: only the edge bound stops them.
    const ClipMetadata wide = imageMetadata(blackPNG(50'001, 10));
    EXPECT_EQ(wide.pixelWidth, 50'001);
    EXPECT_EQ(wide.pixelHeight, 10);
    EXPECT_EQ(wide.thumbnail, std::nullopt);
    EXPECT_EQ(imageSize(imageMetadata(blackPNG(50'000, 10)).thumbnail.value_or(QByteArray())), QSize(256, 1));

    const ClipMetadata vast = imageMetadata(blackPNG(20'000, 20'000));
    EXPECT_EQ(vast.pixelWidth, 20'000);
    EXPECT_EQ(vast.thumbnail, std::nullopt);
}

// Images within the bounds that decode to more than Qt's default allocation limit of 128 MB.
TEST(ClipDetails, LargeImagesOfEveryFormatGetThumbnailsAndPreviews)
{
    const struct {
        const char* name;
        QString type;
        QByteArray bytes;
        QSize thumbnail;
        QSize preview;
    } images[] = {
        {"6000x6000 BMP", QStringLiteral("com.microsoft.bmp"), blackBMP(6000, 6000), {256, 256}, {1024, 1024}},
        {"6000x6000 16-bit PNG", QStringLiteral("public.png"), blackPNG(6000, 6000, 16, 6), {256, 256}, {1024, 1024}},
        {"7000x5000 TIFF", QStringLiteral("public.tiff"), flatImage(7000, 5000, "TIFF"), {256, 183}, {1024, 731}},
        {"7000x5000 WebP",
         QStringLiteral("org.webmproject.webp"),
         flatImage(7000, 5000, "WEBP"),
         {256, 183},
         {1024, 731}},
    };
    for (const auto& image : images) {
        ASSERT_FALSE(image.bytes.isEmpty()) << image.name;
        const ClipMetadata metadata = imageMetadata(image.bytes, image.type);
        EXPECT_EQ(imageSize(metadata.thumbnail.value_or(QByteArray())), image.thumbnail) << image.name;
        const ClipPreview preview = PayloadPreview::make(payloadOf({{image.type, image.bytes}}), ClipKind::image);
        EXPECT_EQ(imageSize(preview.data), image.preview) << image.name;
    }
}

TEST(ClipDetails, DamagedImagesLeaveTheFactsAbsent)
{
    EXPECT_EQ(imageMetadata(QByteArray("definitely not a PNG")), ClipMetadata{});
    EXPECT_EQ(imageMetadata(png(100, 100).left(60)).thumbnail, std::nullopt) << "truncated";
    EXPECT_EQ(imageMetadata(QByteArray()), ClipMetadata{});

    // The first image that opens is the one described.
    const ClipPayload payload = payloadOf(
        {{QStringLiteral("public.jpeg"), "garbage"}, {QStringLiteral("public.png"), png(20, 10)}});
    const ClipMetadata metadata = ClipDetails::capture(payload, QStringLiteral("Изображение"), ClipKind::image);
    EXPECT_EQ(metadata.pixelWidth, 20);
    EXPECT_EQ(metadata.pixelHeight, 10);
}

TEST(ClipDetails, CopiedFilesGivePathsNamesAndTheFirstOnesImage)
{
    TemporaryFolder folder;
    const QString notes = folder.path() + QStringLiteral("/notes.txt");
    const QString photo = folder.path() + QStringLiteral("/My photo.png");
    writeFile(notes, "text");
    writeFile(photo, png(512, 256));

    ClipPayload three{
        {ClipItem{{fileURL(notes)}}, ClipItem{{fileURL(photo)}}, ClipItem{{fileURL(folder.path() + "/gone.png")}}},
        std::nullopt};
    const ClipMetadata textFirst = ClipDetails::capture(three, QStringLiteral("Файлы (3)"), ClipKind::file);
    EXPECT_EQ(textFirst.filePaths, (QStringList{notes, photo, folder.path() + "/gone.png"}));
    EXPECT_EQ(textFirst.fileNames, (QStringList{"notes.txt", "My photo.png", "gone.png"}));
    EXPECT_EQ(textFirst.pixelWidth, std::nullopt) << "only the first file is looked at";
    EXPECT_EQ(textFirst.characterCount, std::nullopt);

    const ClipMetadata imageFirst = ClipDetails::capture(payloadOf({fileURL(photo)}), "My photo.png", ClipKind::file);
    EXPECT_EQ(imageFirst.pixelWidth, 512);
    EXPECT_EQ(imageFirst.pixelHeight, 256);
    EXPECT_EQ(imageSize(imageFirst.thumbnail.value_or(QByteArray())), QSize(256, 128));

    const ClipMetadata missing = ClipDetails::capture(payloadOf({fileURL(folder.path() + "/gone.png")}), "gone.png",
                                                      ClipKind::file);
    EXPECT_EQ(missing.fileNames, QStringList{"gone.png"});
    EXPECT_EQ(missing.pixelWidth, std::nullopt);
}

TEST(ClipDetails, FileURLRepresentationsThatAreNoLocalFilesAreSkipped)
{
    const ClipPayload payload = payloadOf({{QStringLiteral("public.file-url"), "https://example.com/a.png"},
                                           {QStringLiteral("public.file-url"), "file:///tmp/\xff.png"},
                                           {QStringLiteral("public.file-url"), "file:///tmp/a%20b.txt"}});
    const ClipMetadata metadata = ClipDetails::capture(payload, QStringLiteral("Файлы (3)"), ClipKind::file);
    EXPECT_EQ(metadata.filePaths, QStringList{"/tmp/a b.txt"});
    EXPECT_EQ(metadata.fileNames, QStringList{"a b.txt"});
}

TEST(ClipDetails, OversizedAndSpecialImageFilesAreNeverOpened)
{
    TemporaryFolder folder;
    // A sparse file: 300 MiB on paper, nothing on disk. Opening it would read a PNG header of zeros.
    const QString big = folder.path() + QStringLiteral("/big.png");
    QFile file(big);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(png(64, 64));
    ASSERT_TRUE(file.resize(300LL * 1024 * 1024));
    file.close();
    const ClipMetadata oversized = ClipDetails::capture(payloadOf({fileURL(big)}), "big.png", ClipKind::file);
    EXPECT_EQ(oversized.filePaths, QStringList{big});
    EXPECT_EQ(oversized.pixelWidth, std::nullopt);

    // A named pipe would block the reader for ever.
    const QString pipe = folder.path() + QStringLiteral("/pipe.png");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const ClipMetadata fifo = ClipDetails::capture(payloadOf({fileURL(pipe)}), "pipe.png", ClipKind::file);
    EXPECT_EQ(fifo.fileNames, QStringList{"pipe.png"});
    EXPECT_EQ(fifo.pixelWidth, std::nullopt);
}

TEST(ClipDetails, ExistingMetadataIsIgnored)
{
    ClipPayload payload = payloadOf({{QStringLiteral("public.utf8-plain-text"), "abc"}});
    payload.metadata = ClipMetadata{42, 42, 1, 1, {"/x"}, {"x"}, QByteArray("stale")};
    const ClipMetadata metadata = ClipDetails::capture(payload, QStringLiteral("abc"), ClipKind::text);
    EXPECT_EQ(metadata, (ClipMetadata{3, 1, std::nullopt, std::nullopt, {}, {}, std::nullopt}));
}
