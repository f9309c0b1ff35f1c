#include "RichTextPresentation.h"

#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace tavlin;

namespace {

const QString rtf = QStringLiteral("public.rtf");
using Surface = RichTextPresentation::Surface;

// A document whose colour table holds white (1), black (2) and mid grey (3).
QByteArray coloured(const QByteArray& body)
{
    return "{\\rtf1\\ansi{\\fonttbl\\f0 Helvetica;}{\\colortbl;\\red255\\green255\\blue255;\\red0\\green0\\blue0;"
           "\\red128\\green128\\blue128;}\\f0 "
        + body + "}";
}

Surface surfaceOf(const QByteArray& body)
{
    const auto document = RichTextPresentation::attributed(coloured(body), rtf, 100'000);
    EXPECT_TRUE(document);
    return document ? RichTextPresentation::surface(*document) : Surface::fallback;
}

} // namespace

TEST(RichTextPresentation, SurfaceFollowsTheDominantInk)
{
    EXPECT_EQ(surfaceOf("plain words"), Surface::fallback) << "no colour at all";
    EXPECT_EQ(surfaceOf("\\cf1 white words"), Surface::lightInk);
    EXPECT_EQ(surfaceOf("\\cf2 black words"), Surface::white);
    EXPECT_EQ(surfaceOf("\\cf3 grey words"), Surface::fallback) << "mid grey counts for neither";
    EXPECT_EQ(surfaceOf("\\cf1 Title\\par\\cf2 A longer black body"), Surface::white);
    EXPECT_EQ(surfaceOf("\\cf1 A longer white body\\par\\cf2 Black"), Surface::lightInk);
    EXPECT_EQ(surfaceOf("\\cf1 same\\cf2 size"), Surface::lightInk) << "a tie goes to light ink";
}

TEST(RichTextPresentation, CutsToUserPerceivedCharactersKeepingAttributes)
{
    QByteArray body = "{\\b ";
    body += QByteArray(10'000, 'w');
    body += "}";
    const auto document = RichTextPresentation::attributed(coloured(body), rtf, 600);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->toPlainText(), QString(600, u'w'));
    EXPECT_GE(document->begin().begin().fragment().charFormat().fontWeight(), QFont::Bold);

    // The 600th character is an emoji of two UTF-16 units: it stays whole.
    const QByteArray emojiLast = QByteArray(599, 'a') + "\\uc1\\u-10179?\\u-8704? tail";
    const auto cut = RichTextPresentation::attributed(coloured(emojiLast), rtf, 600);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->toPlainText(), QString(599, u'a') + QStringLiteral("😀"));

    const auto none = RichTextPresentation::attributed(coloured("words"), rtf, -5);
    ASSERT_TRUE(none) << "a negative maximum keeps nothing, yet the bytes did read";
    EXPECT_TRUE(none->toPlainText().isEmpty());
}

TEST(RichTextPresentation, ReadsByTypeAndRefusesWhatIsNotRichText)
{
    EXPECT_EQ(RichTextPresentation::attributed("plain words, no RTF", rtf, 600), nullptr);
    EXPECT_EQ(RichTextPresentation::attributed(QByteArray(), rtf, 600), nullptr);
    // Flat RTFD (here with an entry table that doesn't read) is RTF only inside its container.
    const QByteArray rtfd = QByteArray("rtfd\0\0\0\0\xff\xff\xff\xff", 12) + "{\\rtf1 inside}";
    const auto fromRTFD = RichTextPresentation::attributed(rtfd, QStringLiteral("com.apple.flat-rtfd"), 600);
    ASSERT_TRUE(fromRTFD);
    EXPECT_EQ(fromRTFD->toPlainText(), QStringLiteral("inside"));
    EXPECT_EQ(RichTextPresentation::attributed(rtfd, rtf, 600), nullptr);
    EXPECT_EQ(RichTextPresentation::plainString("{\\rtf1 one\\par two}", rtf), QStringLiteral("one\ntwo"));
    EXPECT_EQ(RichTextPresentation::plainString("nope", rtf), std::nullopt);
}
