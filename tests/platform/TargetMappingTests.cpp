#include "PasteboardTypes.h"
#include "TargetMapping.h"

#include <gtest/gtest.h>

namespace tavlin {
namespace {

using Presented = TargetMapping::Presented;

QStringList typesOf(const QList<Presented>& presented)
{
    QStringList types;
    for (const Presented& p : presented)
        types.append(p.type);
    return types;
}

TEST(PasteboardTypesTest, ImageConformanceKnowsIdentifiersNotMimeNames)
{
    for (const char* type : {"public.png", "org.webmproject.webp", "public.image"})
        EXPECT_TRUE(PasteboardTypes::conformsToImage(QString::fromLatin1(type))) << type;
    for (const char* type : {"image/png", "com.adobe.pdf", "PUBLIC.PNG", ""})
        EXPECT_FALSE(PasteboardTypes::conformsToImage(QString::fromLatin1(type))) << type;
}

TEST(TargetMappingTest, TextTargetsBecomeOnePlainTextTypeWithTheBestSourceFirst)
{
    const QList<Presented> presented = TargetMapping::presentedTypes(
        {"TIMESTAMP", "TARGETS", "MULTIPLE", "SAVE_TARGETS", "text/plain", "UTF8_STRING", "STRING", "TEXT",
         "COMPOUND_TEXT", "text/plain;charset=UTF-8", "text/html"});
    ASSERT_EQ(presented.size(), 2);
    EXPECT_EQ(
        presented[0],
        (Presented{PasteboardTypes::plainText, {"UTF8_STRING", "text/plain;charset=UTF-8", "text/plain", "STRING"}}));
    EXPECT_EQ(presented[1], (Presented{PasteboardTypes::html, {"text/html"}}));
    // What GTK 3 offers for a copied text, in its order.
    EXPECT_EQ(
        TargetMapping::presentedTypes({"TIMESTAMP", "TARGETS", "MULTIPLE", "SAVE_TARGETS", "UTF8_STRING",
                                       "COMPOUND_TEXT", "TEXT", "STRING", "text/plain;charset=utf-8", "text/plain"}),
        (QList<Presented>{
            {PasteboardTypes::plainText, {"UTF8_STRING", "text/plain;charset=utf-8", "text/plain", "STRING"}}}));

    // Older programs offer Latin-1 text alone; it reads as UTF-8 text.
    EXPECT_EQ(TargetMapping::presentedTypes({"TARGETS", "STRING", "TEXT"}),
              (QList<Presented>{{PasteboardTypes::plainText, {"STRING"}}}));
    EXPECT_EQ(TargetMapping::presentedBytes("STRING", "caf\xe9 \xbd"), QStringLiteral("café ½").toUtf8());
    EXPECT_EQ(TargetMapping::presentedBytes("UTF8_STRING", "caf\xc3\xa9"), QByteArray("caf\xc3\xa9"));
}

TEST(TargetMappingTest, MimeTextLosesTheCarriageReturnsOfItsLineEndsAndOtherTextKeepsThem)
{
    // GTK 3 sends its text/plain family with CR LF line ends and UTF8_STRING with LF.
    for (const char* target : {"text/plain", "text/plain;charset=utf-8", "text/plain; charset=UTF-8"})
        EXPECT_EQ(TargetMapping::presentedBytes(target, "one\r\ntwo\r\n\r\n"), QByteArray("one\ntwo\n\n")) << target;
    // Only the pairs: a lone CR, or one before another CR, is the text's own.
    EXPECT_EQ(TargetMapping::presentedBytes("text/plain", "a\rb\r\r\nc\n\r"), QByteArray("a\rb\r\nc\n\r"));
    for (const char* target : {"UTF8_STRING", "text/html", "text/rtf"})
        EXPECT_EQ(TargetMapping::presentedBytes(target, "one\r\ntwo"), QByteArray("one\r\ntwo")) << target;
    EXPECT_EQ(TargetMapping::presentedBytes("STRING", "caf\xe9\r\n"), QStringLiteral("café\r\n").toUtf8());
}

TEST(TargetMappingTest, FileListsAndPasswordHintAreLeftToTheAdapterAndPrivateTypesKeepTheirNames)
{
    const QList<Presented> presented = TargetMapping::presentedTypes(
        {"text/uri-list", "x-kde-passwordManagerHint", "x-special/gnome-copied-files", "application/x-private",
         "text/rtf", "application/rtf"});
    EXPECT_EQ(typesOf(presented), QStringList({QStringLiteral("application/x-private"), PasteboardTypes::rtf}));
    EXPECT_EQ(presented[1].targets, (QList<QByteArray>{"text/rtf", "application/rtf"}));
}

TEST(TargetMappingTest, ImageConversionsOfAnOfferedPngAreNotPresented)
{
    // What a Qt application offers for a copied picture.
    EXPECT_EQ(typesOf(TargetMapping::presentedTypes({"application/x-qt-image", "image/png", "image/bmp", "image/jpeg",
                                                     "image/ppm", "image/tiff", "image/x-xpixmap"})),
              QStringList{PasteboardTypes::png});
    // GIF and WebP may animate, and stay; without a PNG every image type stays.
    EXPECT_EQ(typesOf(TargetMapping::presentedTypes({"image/gif", "image/png", "image/webp", "image/x-icon"})),
              QStringList({QStringLiteral("com.compuserve.gif"), PasteboardTypes::png,
                           QStringLiteral("org.webmproject.webp")}));
    EXPECT_EQ(typesOf(TargetMapping::presentedTypes({"image/jpeg", "image/bmp"})),
              QStringList({QStringLiteral("public.jpeg"), QStringLiteral("com.microsoft.bmp")}));
    EXPECT_TRUE(TargetMapping::presentedTypes({}).isEmpty());
}

TEST(TargetMappingTest, UriListGivesOneRepresentationPerUrl)
{
    const QList<ClipRepresentation> urls = TargetMapping::urlRepresentations(
        "# copied by a file "
        "manager\r\nfile:///home/a/Report%20final.pdf\r\n\r\nFILE:///tmp/b\r\nhttps://example.org/x\n");
    ASSERT_EQ(urls.size(), 3);
    EXPECT_EQ(urls[0], (ClipRepresentation{PasteboardTypes::fileURL, "file:///home/a/Report%20final.pdf"}));
    EXPECT_EQ(urls[1].type, PasteboardTypes::fileURL);
    EXPECT_EQ(urls[2], (ClipRepresentation{PasteboardTypes::url, "https://example.org/x"}));
    EXPECT_TRUE(TargetMapping::urlRepresentations("\r\n# nothing\n").isEmpty());
    EXPECT_EQ(TargetMapping::urlRepresentations("file:///tmp/a%00b.txt\nfile:///tmp/%2500"),
              (QList<ClipRepresentation>{{PasteboardTypes::url, "file:///tmp/a%00b.txt"},
                                         {PasteboardTypes::fileURL, "file:///tmp/%2500"}}))
        << "a path that would hold NUL is no file";
}

TEST(TargetMappingTest, ItemsAreWrittenBackUnderMimeNamesWithFilesForFileManagers)
{
    const QList<ClipItem> items{
        ClipItem{{{PasteboardTypes::fileURL, "file:///tmp/a.txt"},
                  {PasteboardTypes::html, "<b>a</b>"},
                  {PasteboardTypes::plainText, "a.txt"}}},
        ClipItem{{{PasteboardTypes::fileURL, "file:///tmp/b.txt"}, {PasteboardTypes::plainText, "b.txt"}}},
        ClipItem{{{PasteboardTypes::url, "https://example.org/"}, {QStringLiteral("application/x-private"), "p"}}},
    };
    const QList<std::pair<QByteArray, QByteArray>> expected{
        {"text/html", "<b>a</b>"},
        {"text/plain", "a.txt"},
        {"text/plain;charset=utf-8", "a.txt"},
        {"application/x-private", "p"},
        {"text/uri-list", "file:///tmp/a.txt\r\nfile:///tmp/b.txt\r\nhttps://example.org/\r\n"},
        {"x-special/gnome-copied-files", "copy\nfile:///tmp/a.txt\nfile:///tmp/b.txt"},
    };
    EXPECT_EQ(TargetMapping::targetsForItems(items), expected);
}

TEST(TargetMappingTest, ConcealedMarkerIsWrittenAsThePasswordHintAndNothingMakesNoTargets)
{
    const QList<std::pair<QByteArray, QByteArray>> expected{{"x-kde-passwordManagerHint", "secret"}};
    EXPECT_EQ(TargetMapping::targetsForItems({ClipItem{{{PasteboardTypes::concealed, ""}}}}), expected);
    EXPECT_TRUE(TargetMapping::targetsForItems({}).isEmpty());
    EXPECT_TRUE(TargetMapping::targetsForItems({ClipItem{}}).isEmpty());
}

} // namespace
} // namespace tavlin
