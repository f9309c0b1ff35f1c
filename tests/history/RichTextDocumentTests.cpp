#include "QtPrinters.h"
#include "RichTextDocument.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QtEndian>

#include <gtest/gtest.h>

#include <limits>

using namespace tavlin;

namespace {

std::unique_ptr<QTextDocument> read(const QByteArray& rtf, std::optional<qsizetype> maximum = {})
{
    auto document = RichTextDocument::fromRTF(rtf, maximum);
    EXPECT_NE(document, nullptr);
    return document;
}

QString textOf(const QByteArray& rtf, std::optional<qsizetype> maximum = {})
{
    const auto document = read(rtf, maximum);
    return document ? RichTextDocument::plainText(*document) : QString();
}

// The format of the first character of `word` in the document.
QTextCharFormat formatOf(const QTextDocument& document, const QString& word)
{
    const qsizetype start = document.toRawText().indexOf(word);
    EXPECT_GE(start, 0) << word.toStdString();
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(int(start) + 1);
    return cursor.charFormat();
}

QByteArray littleEndian(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray flatRTFD(const QList<std::pair<QByteArray, QByteArray>>& entries)
{
    QByteArray rtfd = "rtfd" + littleEndian(0) + littleEndian(3) + littleEndian(quint32(entries.size()));
    for (const auto& [name, contents] : entries)
        rtfd += littleEndian(quint32(name.size())) + name;
    for (const auto& [name, contents] : entries)
        rtfd += littleEndian(quint32(contents.size())) + contents;
    return rtfd;
}

} // namespace

TEST(RichTextDocumentTest, RejectsBytesThatAreNotRTF)
{
    EXPECT_EQ(RichTextDocument::fromRTF({}), nullptr);
    EXPECT_EQ(RichTextDocument::fromRTF("Hello"), nullptr);
    EXPECT_EQ(RichTextDocument::fromRTF("{\\rt"), nullptr);
    EXPECT_EQ(RichTextDocument::fromRTF(" {\\rtf1 a}"), nullptr);
    EXPECT_EQ(RichTextDocument::fromRTF(flatRTFD({{"TXT.rtf", "{\\rtf1 a}"}})), nullptr);
    EXPECT_EQ(RichTextDocument::fromFlatRTFD("{\\rtf1 a}"), nullptr);
    EXPECT_EQ(textOf("{\\rtf1}"), QString());
}

TEST(RichTextDocumentTest, ReadsCharacterStyles)
{
    const auto document = read("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Helvetica;}"
                               "{\\f1\\froman\\fcharset0 Times New Roman;}}\n"
                               "\\f0\\fs24 plain {\\b bold} {\\i italic} {\\ul under}\\ulnone  "
                               "{\\strike struck} {\\fs48 big}\\par\n"
                               "\\f1\\b times\\b0  light\\uldb  double\\ul0  none}");
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(RichTextDocument::plainText(*document), "plain bold italic under struck big\ntimes light double none");

    const QTextCharFormat plain = formatOf(*document, "plain");
    EXPECT_EQ(plain.fontFamilies().toStringList(), QStringList{"Helvetica"});
    EXPECT_EQ(plain.fontPointSize(), 12);
    EXPECT_EQ(plain.fontWeight(), QFont::Normal);
    EXPECT_FALSE(plain.fontItalic() || plain.fontUnderline() || plain.fontStrikeOut());
    EXPECT_EQ(formatOf(*document, "bold").fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatOf(*document, "italic").fontItalic());
    EXPECT_TRUE(formatOf(*document, "under").fontUnderline());
    EXPECT_TRUE(formatOf(*document, "struck").fontStrikeOut());
    EXPECT_FALSE(formatOf(*document, "struck").fontUnderline());
    EXPECT_EQ(formatOf(*document, "big").fontPointSize(), 24);
    EXPECT_EQ(formatOf(*document, "times").fontFamilies().toStringList(), QStringList{"Times New Roman"});
    EXPECT_EQ(formatOf(*document, "times").fontWeight(), QFont::Bold);
    EXPECT_EQ(formatOf(*document, "light").fontWeight(), QFont::Normal);
    EXPECT_TRUE(formatOf(*document, "double").fontUnderline());
    EXPECT_FALSE(formatOf(*document, "none").fontUnderline());
}

TEST(RichTextDocumentTest, GroupsRestoreTheStateAroundThem)
{
    const auto document = read("{\\rtf1\\uc0 {\\b a{\\i\\fs40 b}c}d{\\plain\\v hidden}e"
                               "{\\b f\\plain g}h}");
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(RichTextDocument::plainText(*document), "abcdefgh");
    EXPECT_EQ(formatOf(*document, "a").fontWeight(), QFont::Bold);
    EXPECT_FALSE(formatOf(*document, "a").fontItalic());
    EXPECT_TRUE(formatOf(*document, "b").fontItalic());
    EXPECT_EQ(formatOf(*document, "b").fontWeight(), QFont::Bold);
    EXPECT_EQ(formatOf(*document, "b").fontPointSize(), 20);
    EXPECT_EQ(formatOf(*document, "c").fontPointSize(), 12);
    EXPECT_FALSE(formatOf(*document, "c").fontItalic());
    EXPECT_EQ(formatOf(*document, "d").fontWeight(), QFont::Normal);
    EXPECT_EQ(formatOf(*document, "f").fontWeight(), QFont::Bold);
    EXPECT_EQ(formatOf(*document, "g").fontWeight(), QFont::Normal);
}

TEST(RichTextDocumentTest, AppliesTheColourTable)
{
    const auto document = read("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;"
                               "\\red999\\green-4\\blue128;}\n"
                               "none \\cf1 red\\cf0  auto {\\cb2 back} {\\highlight1 marked} "
                               "{\\chcbpat2 shaded} {\\cf3 clamped} {\\cf9 outside}}");
    ASSERT_NE(document, nullptr);
    EXPECT_FALSE(formatOf(*document, "none").hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(formatOf(*document, "red").foreground().color(), QColor(255, 0, 0));
    // Entry 0 is empty: the automatic colour, so no colour at all.
    EXPECT_FALSE(formatOf(*document, "auto").hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(formatOf(*document, "back").background().color(), QColor(0, 0, 255));
    EXPECT_FALSE(formatOf(*document, "back").hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(formatOf(*document, "marked").background().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatOf(*document, "shaded").background().color(), QColor(0, 0, 255));
    EXPECT_EQ(formatOf(*document, "clamped").foreground().color(), QColor(255, 0, 128));
    EXPECT_FALSE(formatOf(*document, "outside").hasProperty(QTextFormat::ForegroundBrush));
}

TEST(RichTextDocumentTest, DecodesHexBytesInTheDocumentOrFontCodePage)
{
    // "Привет" in Windows-1251.
    const QByteArray privet = "\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2";
    EXPECT_EQ(textOf("{\\rtf1\\ansi\\ansicpg1251 " + privet + "}"), "Привет");
    EXPECT_EQ(textOf("{\\rtf1\\ansi " + privet + "}"), "Ïðèâåò");
    EXPECT_EQ(textOf("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial Cyr;}}"
                     "\\f0 "
                     + privet + " \\f1 " + privet + "}"),
              "Ïðèâåò Привет");
    // An ANSI font defers to the document's code page, as Russian documents write it.
    EXPECT_EQ(textOf("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl\\f0\\fcharset0 Helvetica;}\\f0 " + privet + "}"), "Привет");
    // Shift-JIS: two bytes a character.
    EXPECT_EQ(textOf("{\\rtf1{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}\\f0 \\'93\\'fa\\'96\\'7b}"), "日本");
    // The font name itself is in the font's code page.
    const auto document = read("{\\rtf1{\\fonttbl{\\f0\\fcharset204 \\'d8\\'f0\\'e8\\'f4\\'f2;}}\\f0 x}");
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(formatOf(*document, "x").fontFamilies().toStringList(), QStringList{"Шрифт"});
    // Unknown code pages read as Windows-1252; a hex escape cut short still gives its byte.
    EXPECT_EQ(textOf("{\\rtf1\\ansicpg77777 \\'e9\\'4}"), "é");
}

TEST(RichTextDocumentTest, ReadsUnicodeEscapesAndSkipsTheirFallbacks)
{
    EXPECT_EQ(textOf("{\\rtf1 \\u1055?\\u1088?}"), "Пр");
    EXPECT_EQ(textOf("{\\rtf1\\uc0\\u1055 \\u1088 x}"), "Прx");
    EXPECT_EQ(textOf("{\\rtf1\\uc2\\u8364\\'80\\'80x\\uc1\\u8364\\'80y}"), "€x€y");
    // A fallback ends at a group boundary, and \uc is restored with its group.
    EXPECT_EQ(textOf("{\\rtf1{\\uc3\\u1055}abc\\u1088?d}"), "Пabcрd");
    // Code units above 32767 are written negative; a pair of them is one character.
    EXPECT_EQ(textOf("{\\rtf1\\u-3913?\\uc1\\u-10179?\\u-8704?}"), QString::fromUtf8("\uF0B7😀"));
    // Surrogates without their other half are dropped.
    EXPECT_EQ(textOf("{\\rtf1\\uc0\\u-10179 a\\u-8704 b\\u-10179}"), "ab");
    EXPECT_EQ(textOf("{\\rtf1\\uc0\\u99999999999 \\u65535}"), QString::fromUtf8("\uFFFD\uFFFF"));
}

TEST(RichTextDocumentTest, ReadsSpecialCharactersAndBreaks)
{
    const auto document = read("{\\rtf1 a\\par b\\line c\\tab d\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote"
                               "\\rdblquote\\{\\}\\\\ e\\~f\\-g\\_h\\\nj\\cell k\\row\\pard\\qc centred\\par}");
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(RichTextDocument::plainText(*document),
              QString::fromUtf8("a\nb\u2028c\td—–•‘’“”{}\\ e\u00A0fg\u2011h\nj\tk\ncentred\n"));
    EXPECT_EQ(document->blockCount(), 5); // \line is no new paragraph
    EXPECT_EQ(document->findBlockByNumber(3).blockFormat().alignment(), Qt::AlignHCenter);
    EXPECT_EQ(document->findBlockByNumber(0).blockFormat().alignment(), Qt::AlignLeft);
}

TEST(RichTextDocumentTest, SkipsDestinationsThatAreNotText)
{
    EXPECT_EQ(textOf("{\\rtf1{\\info{\\title Title}{\\author Me}}{\\stylesheet{\\s0 Normal;}}"
                     "{\\header head}a{\\pict\\pngblip\\picw10 89504e470d0a1a0a}b"
                     "{\\*\\unknown {nested} text}c{\\*\\shppict{\\pict 00}}{\\nonshppict{\\pict 00}}"
                     "{\\field{\\*\\fldinst HYPERLINK \"https://x\"}{\\fldrslt link}}"
                     "{\\unknownword shown}}"),
              "abclinkshown");
    // Binary data is skipped by its length, braces and backslashes in it included.
    EXPECT_EQ(textOf("{\\rtf1 a{\\pict\\bin6 }\\{}" + QByteArray(1, '\0') + "\\}b\\bin3 xyzc}"), "abc");
    EXPECT_EQ(textOf("{\\rtf1 a\\bin99999999999999 }"), "a");
    EXPECT_EQ(textOf("{\\rtf1 a\\bin-5 b}"), "ab");
    // An attachment and the mark that stands for it in the text.
    EXPECT_EQ(textOf("{\\rtf1 see {{\\NeXTGraphic image.png \\width640 \\height480}\xac} here}"), "see  here");
}

TEST(RichTextDocumentTest, DamagedInputGivesWhatCouldBeRead)
{
    const auto truncated = read("{\\rtf1{\\fonttbl{\\f0 Helvetica;}}\\f0 Hello {\\b wor");
    ASSERT_NE(truncated, nullptr);
    EXPECT_EQ(RichTextDocument::plainText(*truncated), "Hello wor");
    EXPECT_EQ(formatOf(*truncated, "wor").fontWeight(), QFont::Bold);
    EXPECT_EQ(textOf("{\\rtf1 a}b}c"), "a");
    EXPECT_EQ(textOf("{\\rtf1 a\\"), "a");
    EXPECT_EQ(textOf("{\\rtf1 a\\'"), "a");
    EXPECT_EQ(textOf("{\\rtf1 a\\u"), "a");
    EXPECT_EQ(textOf("{\\rtf1 a\\fs-"), "a-");
    // Parameters of any length saturate instead of overflowing.
    const auto huge = read("{\\rtf1\\fs999999999999999999999999 a\\fs-99999999999999 b}");
    ASSERT_NE(huge, nullptr);
    EXPECT_EQ(formatOf(*huge, "a").fontPointSize(), 1000);
    EXPECT_EQ(formatOf(*huge, "b").fontPointSize(), 1);
}

TEST(RichTextDocumentTest, DeepNestingIsFlattenedButStillCounted)
{
    const int depth = 100000;
    const QByteArray nested = "{\\rtf1 " + QByteArray(depth, '{') + "\\b x" + QByteArray(depth, '}') + " y}z";
    const auto document = read(nested);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(RichTextDocument::plainText(*document), "x y");
    EXPECT_EQ(formatOf(*document, "y").fontWeight(), QFont::Normal);
    EXPECT_EQ(textOf("{\\rtf1 " + QByteArray(depth, '{') + "unclosed"), "unclosed");
}

TEST(RichTextDocumentTest, StopsAtTheMaximumNumberOfCharacters)
{
    QByteArray rtf = "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf1\\b ";
    for (int i = 0; i < 1000; ++i)
        rtf += "0123456789";
    rtf += "\\par}";
    const auto document = read(rtf, 600);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(RichTextDocument::plainText(*document), QString("0123456789").repeated(60));
    EXPECT_EQ(formatOf(*document, "0").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatOf(*document, "0").fontWeight(), QFont::Bold);

    EXPECT_EQ(textOf("{\\rtf1 abc}", 0), "");
    EXPECT_EQ(textOf("{\\rtf1 abc}", -5), "");
    EXPECT_EQ(textOf("{\\rtf1 abc}", std::numeric_limits<qsizetype>::max()), "abc");
    EXPECT_EQ(textOf("{\\rtf1 ab\\par cd}", 3), "ab\n");
    // A character of several code units is kept whole or not at all.
    const QByteArray emoji = "\\uc0\\u-10179\\u-8704 ";
    EXPECT_EQ(textOf("{\\rtf1 ab" + emoji + "cd}", 3), QString::fromUtf8("ab😀"));
    EXPECT_EQ(textOf("{\\rtf1 e\\uc0\\u769 \\u769 \\u769 \\u769 f}", 1),
              QString::fromUtf8("e\u0301\u0301\u0301\u0301"));
    QByteArray marks = "{\\rtf1\\uc0 ";
    for (int i = 0; i < 3; ++i)
        marks += "a" + QByteArray("\\u769 ").repeated(700);
    EXPECT_EQ(textOf(marks + "}", 2).size(), 2 * 701);
}

TEST(RichTextDocumentTest, ReadsTheTextOfAFlatRTFD)
{
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl\\f0 Helvetica;}\\f0\\b Text "
                           "{{\\NeXTGraphic image.png \\width20 \\height20}\xac}}";
    const QByteArray rtfd = flatRTFD(
        {{".", "__@UTF8PropertyList@__<plist/>"}, {"image.png", "{\\rtf1 not this one}"}, {"TXT.rtf", rtf}});
    const auto document = RichTextDocument::fromFlatRTFD(rtfd);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(RichTextDocument::plainText(*document), "Text ");
    EXPECT_EQ(formatOf(*document, "Text").fontWeight(), QFont::Bold);
    EXPECT_EQ(RichTextDocument::plainText(*RichTextDocument::fromFlatRTFD(rtfd, 2)), "Te");

    // An entry table that does not read still has its RTF found.
    const QByteArray odd = "rtfd" + littleEndian(0) + QByteArray("\xff\xff\xff\xff") + rtf + "trailing";
    ASSERT_NE(RichTextDocument::fromFlatRTFD(odd), nullptr);
    EXPECT_EQ(RichTextDocument::plainText(*RichTextDocument::fromFlatRTFD(odd)), "Text ");

    EXPECT_EQ(RichTextDocument::fromFlatRTFD(flatRTFD({{"image.png", "PNG"}})), nullptr);
    EXPECT_EQ(RichTextDocument::fromFlatRTFD(rtfd.left(40)), nullptr);
    EXPECT_EQ(RichTextDocument::fromFlatRTFD("rtfd"), nullptr);
    EXPECT_EQ(RichTextDocument::fromFlatRTFD({}), nullptr);
}
