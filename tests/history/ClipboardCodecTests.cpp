#include "ClipboardCodec.h"

#include "AwaitTask.h"
#include "ClipDetails.h"
#include "ClipboardReadError.h"
#include "FakePasteboard.h"
#include "ImageSamples.h"
#include "LogCapture.h"
#include "StoredPlaceholder.h"

#include <QUrl>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

const QString plainText = QStringLiteral("public.utf8-plain-text");
const QString rtf = QStringLiteral("public.rtf");
const QString html = QStringLiteral("public.html");
const QString fileURL = QStringLiteral("public.file-url");
const QString url = QStringLiteral("public.url");
const QString pdf = QStringLiteral("com.adobe.pdf");
const QString pngType = QStringLiteral("public.png");

FakePasteboard::Item item(QList<std::pair<QString, QByteArray>> representations)
{
    FakePasteboard::Item result;
    for (auto& [type, data] : representations) {
        result.types.append(type);
        result.data.insert(type, data);
    }
    return result;
}

FakePasteboard::Item fileItem(const QString& path)
{
    return item({{fileURL, QUrl::fromLocalFile(path).toEncoded()}});
}

std::optional<CapturedClipboard> read(const QList<FakePasteboard::Item>& items)
{
    FakePasteboard pasteboard;
    pasteboard.setItems(items);
    return await(ClipboardCodec::read(pasteboard));
}

std::optional<CapturedClipboard> readText(const QString& text)
{
    return read({item({{plainText, text.toUtf8()}})});
}

std::optional<ClipKind> kindOf(const QList<FakePasteboard::Item>& items)
{
    const auto captured = read(items);
    return captured ? std::optional(captured->kind) : std::nullopt;
}

} // namespace

TEST(ClipboardCodecRead, KeepsKnownTypesSortedPerItemAndDropsTheRest)
{
    const auto captured = read({item({{plainText, "hello"},
                                      {QStringLiteral("com.example.private"), "x"},
                                      {rtf, "{\\rtf1 hello}"},
                                      {html, "<b>hello</b>"}}),
                                item({{QStringLiteral("application/x-private"), "only private types"}}),
                                item({{pngType, png(4, 4)}, {QStringLiteral("image/x-xpixmap"), "unknown image"}})});
    ASSERT_TRUE(captured);
    ASSERT_EQ(captured->payload.items.size(), 2) << "an item without kept types is dropped";
    QStringList firstTypes;
    for (const ClipRepresentation& r : captured->payload.items[0].representations)
        firstTypes.append(r.type);
    EXPECT_EQ(firstTypes, (QStringList{html, rtf, plainText}));
    EXPECT_EQ(captured->payload.items[0].representations[2].data, QByteArray("hello"));
    ASSERT_EQ(captured->payload.items[1].representations.size(), 1);
    EXPECT_EQ(captured->payload.items[1].representations[0].type, pngType);
    EXPECT_EQ(captured->payload.metadata, std::nullopt);

    EXPECT_EQ(read({item({{QStringLiteral("com.example.private"), "x"}})}), std::nullopt);
    EXPECT_EQ(read({}), std::nullopt);
}

TEST(ClipboardCodecRead, TypesWithoutDataAreSkipped)
{
    FakePasteboard::Item offered = item({{plainText, "text"}});
    offered.types.append(rtf); // offered, but the owner fails to convert it
    const auto captured = read({offered});
    ASSERT_TRUE(captured);
    ASSERT_EQ(captured->payload.items[0].representations.size(), 1);
    EXPECT_EQ(captured->kind, ClipKind::text) << "a type that gave no data doesn't make rich text";

    // A spreadsheet's range: its picture answered with no bytes is no picture.
    const auto cells = read({item({{plainText, "1\t2"}, {html, "<table>1 2</table>"}, {pngType, {}}})});
    ASSERT_TRUE(cells);
    EXPECT_EQ(cells->kind, ClipKind::richText);
    EXPECT_EQ(cells->text, QStringLiteral("1\t2"));
    ASSERT_EQ(cells->payload.items.size(), 1);
    for (const ClipRepresentation& r : cells->payload.items[0].representations)
        EXPECT_FALSE(r.data.isEmpty()) << r.type.toStdString();
    EXPECT_EQ(kindOf({item({{plainText, "1\t2"}, {html, "<table>1 2</table>"}, {pngType, png(4, 4)}})}),
              ClipKind::image);
    EXPECT_EQ(read({item({{plainText, {}}, {html, {}}, {pngType, {}}})}), std::nullopt);
}

TEST(ClipboardCodecRead, PlainTextIsAskedForFirstAndACopyOfWhichNothingCameIsLogged)
{
    FakePasteboard pasteboard;
    pasteboard.setItems({item({{html, "<b>x</b>"}, {rtf, "{\\rtf1 x}"}, {plainText, "x"}})});
    const auto captured = await(ClipboardCodec::read(pasteboard));
    EXPECT_EQ(pasteboard.dataRequests().value(0), plainText);
    ASSERT_TRUE(captured);
    EXPECT_EQ(captured->payload.items.value(0).representations.value(0).type, html) << "stored in type order";

    LogCapture log;
    FakePasteboard::Item unanswered;
    unanswered.types = QStringList{pngType, plainText, QStringLiteral("com.example.private")};
    EXPECT_EQ(read({unanswered}), std::nullopt);
    EXPECT_EQ(
        log.errors(),
        QStringList{QStringLiteral("Clipboard: a copy is not kept, none of its formats came (public.utf8-plain-text, "
                                   "public.png)")});
    // Nothing worth keeping is no loss.
    EXPECT_EQ(read({item({{QStringLiteral("com.example.private"), "x"}})}), std::nullopt);
    EXPECT_EQ(readText(QStringLiteral("  \n")), std::nullopt);
    EXPECT_EQ(log.errors().size(), 1);
}

TEST(ClipboardCodecRead, RefusesMoreThan32MiBWithTheLimitMessage)
{
    const QByteArray twentyMiB(20 * 1024 * 1024, 'a');
    for (const auto& items : {QList{item({{pngType, twentyMiB}, {plainText, twentyMiB}})},
                              QList{item({{pngType, twentyMiB}}), item({{pngType, twentyMiB}})}}) {
        try {
            read(items);
            ADD_FAILURE() << "40 MiB were accepted";
        } catch (const ClipboardReadError& error) {
            EXPECT_EQ(error.errorDescription(), QStringLiteral("The record is larger than 32 MB and wasn’t saved."));
            EXPECT_EQ(error.localizedDescription(), error.errorDescription());
        }
    }

    // It stops at the representation that crosses the limit, without fetching the others.
    FakePasteboard pasteboard;
    pasteboard.setItems({item({{QStringLiteral("public.jpeg"), twentyMiB},
                               {pngType, twentyMiB},
                               {QStringLiteral("public.tiff"), "t"},
                               {plainText, "x"}})});
    EXPECT_THROW(await(ClipboardCodec::read(pasteboard)), ClipboardReadError);
    EXPECT_EQ(pasteboard.dataRequests(), (QStringList{plainText, QStringLiteral("public.jpeg"), pngType}));

    const QByteArray half(16 * 1024 * 1024, 'b');
    const auto exactly = read({item({{pngType, half}}), item({{QStringLiteral("public.jpeg"), half}})});
    ASSERT_TRUE(exactly) << "exactly 32 MiB passes";
    EXPECT_EQ(exactly->kind, ClipKind::image);
    EXPECT_NO_THROW(read({item({{pngType, twentyMiB}})}));

    // Dropped types don't count.
    EXPECT_NO_THROW(read({item({{QStringLiteral("application/x-private"), twentyMiB}, {pngType, twentyMiB}})}));
}

TEST(ClipboardCodecRead, FilesComeFirstAndNameTheRecord)
{
    const auto one = read({fileItem(QStringLiteral("/home/u/Отчёт 2024.pdf"))});
    ASSERT_TRUE(one);
    EXPECT_EQ(one->kind, ClipKind::file);
    EXPECT_EQ(one->text, QStringLiteral("Отчёт 2024.pdf"));

    const auto two = read({fileItem(QStringLiteral("/tmp/a.txt")), fileItem(QStringLiteral("/tmp/dir/"))});
    ASSERT_TRUE(two);
    EXPECT_EQ(two->text, StoredPlaceholder::files(2));

    const auto folder = read({fileItem(QStringLiteral("/tmp/dir/"))});
    EXPECT_EQ(folder->text, QStringLiteral("dir")) << "a folder is named, not left blank";

    // Undecodable entries give no name, so the count says 0 rather than a blank text.
    const auto broken = read({item({{fileURL, "file:///tmp/\xff\xfe"}})});
    ASSERT_TRUE(broken);
    EXPECT_EQ(broken->kind, ClipKind::file);
    EXPECT_EQ(broken->text, StoredPlaceholder::files(0));

    EXPECT_EQ(kindOf({item({{pngType, png(2, 2)}}), fileItem(QStringLiteral("/tmp/a.png"))}), ClipKind::file);
}

TEST(ClipboardCodecRead, PdfAndImagesUsePlaceholders)
{
    const auto document = read({item({{pdf, "%PDF-1.7"}, {pngType, png(2, 2)}, {plainText, "caption"}})});
    ASSERT_TRUE(document);
    EXPECT_EQ(document->kind, ClipKind::other);
    EXPECT_EQ(document->text, StoredPlaceholder::pdfDocument());

    const auto image = read({item({{QStringLiteral("public.jpeg"), "not checked here"}, {plainText, "   "}})});
    ASSERT_TRUE(image) << "placeholder kinds skip the text checks";
    EXPECT_EQ(image->kind, ClipKind::image);
    EXPECT_EQ(image->text, StoredPlaceholder::image());
}

TEST(ClipboardCodecRead, DecidesTextLinkAndRichText)
{
    EXPECT_EQ(kindOf({item({{plainText, "just words"}})}), ClipKind::text);
    EXPECT_EQ(kindOf({item({{plainText, "  https://example.com/page?q=1 \n"}})}), ClipKind::link);
    EXPECT_EQ(kindOf({item({{plainText, "HTTP://EXAMPLE.COM"}})}), ClipKind::link);
    EXPECT_EQ(kindOf({item({{plainText, "ftp://example.com/file"}})}), ClipKind::text);
    EXPECT_EQ(kindOf({item({{plainText, "https:///no-host"}})}), ClipKind::text);
    EXPECT_EQ(kindOf({item({{plainText, "https://example.com is where it is"}})}), ClipKind::text)
        << "a sentence that starts with an address is text";
    EXPECT_EQ(kindOf({item({{plainText, "mailto:someone@example.com"}, {url, "mailto:someone@example.com"}})}),
              ClipKind::link)
        << "a URL type makes a link whatever the scheme";

    EXPECT_EQ(kindOf({item({{plainText, "https://example.com"}, {rtf, "{\\rtf1 https://example.com}"}})}),
              ClipKind::richText)
        << "rich text whose string is an address stays rich text";
    EXPECT_EQ(kindOf({item({{plainText, "Example"}, {html, "<a href=x>Example</a>"}, {url, "https://example.com"}})}),
              ClipKind::link);

    const auto untrimmed = readText(QStringLiteral("\n  indented\n"));
    ASSERT_TRUE(untrimmed);
    EXPECT_EQ(untrimmed->text, QStringLiteral("\n  indented\n"));
}

TEST(ClipboardCodecRead, TextFallsBackToTheURLThenRichTextThenPlaceholder)
{
    const auto fromURL = read({item({{url, "https://example.com/x"}})});
    ASSERT_TRUE(fromURL);
    EXPECT_EQ(fromURL->text, QStringLiteral("https://example.com/x"));
    EXPECT_EQ(fromURL->kind, ClipKind::link);

    const auto fromRTF = read({item({{rtf, "{\\rtf1\\ansi {\\b Bold} words}"}})});
    ASSERT_TRUE(fromRTF);
    EXPECT_EQ(fromRTF->text, QStringLiteral("Bold words"));
    EXPECT_EQ(fromRTF->kind, ClipKind::richText);

    // A line break within a paragraph is stored as U+2028, and still counts as a line.
    const auto withLines = read({item({{rtf, "{\\rtf1 one\\line two\\par three}"}})});
    ASSERT_TRUE(withLines);
    EXPECT_EQ(withLines->text, QString::fromUtf8("one\u2028two\nthree"));
    EXPECT_EQ(ClipDetails::lineCount(withLines->text), 3);

    const auto unreadable = read({item({{rtf, "this is no RTF at all"}})});
    ASSERT_TRUE(unreadable);
    EXPECT_EQ(unreadable->text, StoredPlaceholder::formattedText());
    EXPECT_EQ(unreadable->kind, ClipKind::richText);

    const auto htmlOnly = read({item({{html, "<p>only html</p>"}})});
    ASSERT_TRUE(htmlOnly);
    EXPECT_EQ(htmlOnly->text, StoredPlaceholder::formattedText());
}

TEST(ClipboardCodec, TheTextOfALargeRtfOnlyCopyIsDerivedWhileTheEventLoopRuns)
{
    QByteArray document = "{\\rtf1\\ansi ";
    // About 700,000 characters of text: a record still.
    while (document.size() < 1024 * 1024)
        document += "{\\b bold} and plain words\\par\n";
    document += "}";
    FakePasteboard pasteboard;
    pasteboard.setItems({item({{rtf, document}})});
    auto reading = ClipboardCodec::read(pasteboard);
    EXPECT_FALSE(reading.isReady()) << "the document was parsed on the main thread";
    const auto captured = await(std::move(reading));
    ASSERT_TRUE(captured);
    EXPECT_TRUE(captured->text.startsWith(QStringLiteral("bold and plain words\nbold")))
        << captured->text.left(40).toStdString();
    EXPECT_EQ(captured->kind, ClipKind::richText);
}

TEST(ClipboardCodecRead, TextThatIsNotWorthARecordGivesNothing)
{
    LogCapture log;
    EXPECT_EQ(readText(QStringLiteral(" \t\n\u00a0\u3000")), std::nullopt);
    EXPECT_EQ(readText(QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b")), std::nullopt);
    EXPECT_EQ(read({item({{rtf, "{\\rtf1 }"}})}), std::nullopt) << "rich text without words";

    const QString atLimit(1'048'576 / 4, QChar(u'\u0416')); // 2 bytes each
    EXPECT_TRUE(readText(atLimit + atLimit));
    const QByteArray words(1'048'576, 'w');
    const auto rtfAtLimit = read({item({{rtf, "{\\rtf1 " + words + "}"}})});
    ASSERT_TRUE(rtfAtLimit);
    EXPECT_EQ(rtfAtLimit->text.size(), 1'048'576);

    // Whatever made the text too long, the copy is dropped with one line saying so; a blank one
    // is no news.
    EXPECT_EQ(readText(atLimit + atLimit + u'x'), std::nullopt);
    EXPECT_EQ(read({item({{rtf, "{\\rtf1 " + words + "w}"}})}), std::nullopt) << "RTF only";
    // Each stray byte is repaired into three.
    EXPECT_EQ(read({item({{plainText, QByteArray(600'000, '\xff')}})}), std::nullopt);
    const QString line = QStringLiteral(
        "Clipboard: a copy is not kept, its text is over 1048576 bytes (%1 bytes in all)");
    EXPECT_EQ(log.errors(), (QStringList{line.arg(1'048'577), line.arg(1'048'585), line.arg(600'000)}));
}

TEST(ClipboardCodecRead, InvalidUtf8IsRepairedInTheTextButStoredAsItCame)
{
    const QByteArray bytes("caf\xc3 \xff ok");
    const auto captured = read({item({{plainText, bytes}})});
    ASSERT_TRUE(captured);
    EXPECT_EQ(captured->kind, ClipKind::text);
    EXPECT_TRUE(captured->text.contains(QChar::ReplacementCharacter));
    EXPECT_EQ(captured->payload.items[0].representations[0].data, bytes);
}

TEST(ClipboardCodecRestore, WritesEveryItemAfterClearing)
{
    FakePasteboard pasteboard;
    const ClipPayload payload{{ClipItem{{{html, "<b>x</b>"}, {plainText, "x"}}}, ClipItem{{{pngType, png(2, 2)}}}},
                              std::nullopt};
    EXPECT_TRUE(ClipboardCodec::restore(payload, pasteboard));
    EXPECT_EQ(pasteboard.clearCount(), 1);
    EXPECT_EQ(pasteboard.writeCount(), 1);
    EXPECT_EQ(pasteboard.clipItems(), payload.items);

    // Reading it back gives the same payload: a copy back is exact.
    const auto reread = await(ClipboardCodec::read(pasteboard));
    ASSERT_TRUE(reread);
    EXPECT_EQ(reread->payload, payload);
}

TEST(ClipboardCodecRestore, ReportsRefusalAndLeavesEmptyPayloadsAlone)
{
    FakePasteboard pasteboard;
    pasteboard.setString(QStringLiteral("before"));
    const qint64 before = pasteboard.changeCount();
    EXPECT_FALSE(ClipboardCodec::restore(ClipPayload{}, pasteboard));
    EXPECT_EQ(pasteboard.clearCount(), 0);
    EXPECT_EQ(pasteboard.changeCount(), before);
    EXPECT_EQ(pasteboard.string(plainText), QStringLiteral("before"));

    pasteboard.refuseWrites = true;
    EXPECT_FALSE(ClipboardCodec::restore(ClipPayload{{ClipItem{{{plainText, "x"}}}}, std::nullopt}, pasteboard));
}
