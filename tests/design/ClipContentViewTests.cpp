#include "DesignTestSupport.h"

#include "ClipContentView.h"
#include "ClipSnippetView.h"
#include "DocumentView.h"
#include "FormattedTextView.h"
#include "ImageSamples.h"
#include "LongTextView.h"
#include "TavlinTheme.h"
#include "TextCharacters.h"
#include "TextFocusRing.h"
#include "ThemedWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace tavlin {
namespace {

using test::sampleRecord;

using Presentation = ClipContentView::Presentation;

QByteArray rtf(const char* body, const char* colours = "")
{
    return QByteArray("{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss Helvetica;}{\\colortbl;") + colours + "}\\f0\\fs24 " + body
        + "}";
}

template <class View>
View* only(QWidget* parent, const char* name)
{
    auto* view = parent->findChild<View*>(QString::fromLatin1(name));
    EXPECT_TRUE(view) << name;
    return view;
}

// Whether the view has laid out the paragraph in the middle of its text.
bool middleLaidOut(LongTextView* view)
{
    return view->document()->findBlockByNumber(view->document()->blockCount() / 2).layout()->lineCount() > 0;
}

TEST(ClipContentView, LinksWithAHostShowTheHostAboveTheAddress)
{
    test::ThemedWindow window;
    auto* view = window.hold(
        new ClipContentView(sampleRecord(ClipKind::link, QStringLiteral("https://www.example.org/a?b=1")),
                            ClipPreview::text(), {}),
        QSize(420, 300));
    EXPECT_EQ(view->presentation(), Presentation::link);
    EXPECT_EQ(only<DocumentView>(view, "link-host")->toPlainText().remove(QChar(0x200B)),
              QStringLiteral("www.example.org"));
    auto* address = only<DocumentView>(view, "link-address");
    EXPECT_EQ(address->toPlainText(), QStringLiteral("https://www.example.org/a?b=1"));
    EXPECT_EQ(address->document()->begin().begin().fragment().charFormat().foreground().color(),
              TavlinTheme::brandAccent.resolve(Appearance{}));
}

TEST(ClipContentView, AHostBreaksOnlyAfterItsDotsOrIsShortened)
{
    test::ThemedWindow window;
    auto* view = window.hold(
        new ClipContentView(
            sampleRecord(ClipKind::link, QStringLiteral("https://developer.mozilla-docs.org/en-US/docs")),
            ClipPreview::text(), {}),
        QSize(260, 300));
    auto* host = only<DocumentView>(view, "link-host");
    const QTextBlock block = host->document()->firstBlock();
    ASSERT_GT(block.layout()->lineCount(), 1) << "the host fits on one line: the test shows nothing";
    for (int i = 0; i + 1 < block.layout()->lineCount(); ++i) {
        const QTextLine line = block.layout()->lineAt(i);
        EXPECT_TRUE(block.text().mid(line.textStart(), line.textLength()).endsWith(QStringLiteral(".\u200B")))
            << "a line of the host ends inside a word";
    }
    // Copied, the host is as it is.
    host->selectAll();
    host->copy();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("developer.mozilla-docs.org"));

    // A label wider than the view on its own: the host is shortened, not cut inside the label.
    const QString shortened = ClipContentView::shownHost(QStringLiteral("averyveryverylonglabel.example.org"), 150);
    EXPECT_TRUE(shortened.contains(QChar(0x2026)));
    EXPECT_LE(QFontMetricsF(ClipContentView::linkHostFont()).horizontalAdvance(shortened), 150);
}

// A long link's host, at the preview's smallest width: it draws a caret only while it has the
// keyboard from Tab, and then shows the focus ring; the window's first focus or a click draw none.
TEST(ClipContentView, AHostDrawsACaretOnlyWithTheFocusRing)
{
    test::ThemedWindow window;
    auto* view = window.hold(new ClipContentView(sampleRecord(ClipKind::link,
                                                              QStringLiteral("https://tracking.newsletter-mailer."
                                                                             "example-company.co.uk/click?u=a1b2c3")),
                                                 ClipPreview::text(), {}),
                             QSize(280, 300));
    auto* host = only<DocumentView>(view, "link-host");
    window.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window.window));
    host->clearFocus();
    test::ThemedWindow::settle();
    const QImage resting = host->grab().toImage();
    const auto ringShows = [&] {
        const QList<TextFocusRing*> rings = window.window.findChildren<TextFocusRing*>();
        return std::any_of(rings.cbegin(), rings.cend(), [](TextFocusRing* ring) { return ring->isVisible(); });
    };
    for (const Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::MouseFocusReason}) {
        host->setFocus(reason);
        test::ThemedWindow::settle();
        ASSERT_TRUE(host->hasFocus());
        EXPECT_EQ(host->grab().toImage(), resting) << "a caret, focused for reason " << reason;
        EXPECT_FALSE(ringShows());
        host->clearFocus();
    }
    host->setFocus(Qt::TabFocusReason);
    test::ThemedWindow::settle();
    EXPECT_NE(host->grab().toImage(), resting) << "no caret to select with";
    EXPECT_TRUE(ringShows());
}

TEST(ClipContentView, LinksOfAnyLengthShowAsALink)
{
    const QString address = QStringLiteral("https://example.org/?q=") + QString(20000, u'a');
    test::ThemedWindow window;
    auto* view = window.hold(new ClipContentView(sampleRecord(ClipKind::link, address), ClipPreview::text(), {}),
                             QSize(248, 220));
    EXPECT_EQ(view->presentation(), Presentation::link);
    auto* shown = only<LongTextView>(view, "link-address");
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->text(), address);
    EXPECT_FALSE(middleLaidOut(shown));
}

TEST(ClipContentView, LinksWithoutAHostShowAsPlainText)
{
    for (const QString& text : {QStringLiteral("www.example.org"), QStringLiteral("not a url at all"),
                                QStringLiteral("mailto:ann@example.org")}) {
        ClipContentView view(sampleRecord(ClipKind::link, text), ClipPreview::text(), {});
        EXPECT_EQ(view.presentation(), Presentation::plainText) << text.toStdString();
    }
}

TEST(ClipContentView, LongTextIsShownWholeButLaidOutOnlyAsFarAsShown)
{
    QString code = QStringLiteral("let total = 0\n");
    while (code.size() < 20000)
        code += QStringLiteral("total += 1 // step\n");
    QString prose;
    for (int line = 0; prose.size() < 20000; ++line)
        prose += QStringLiteral("Line %1 of a long note\n").arg(line);
    test::ThemedWindow window;
    auto* codeView = window.hold(new ClipContentView(sampleRecord(ClipKind::text, code), ClipPreview::text(), {}),
                                 QSize(420, 300));
    auto* proseView = window.hold(new ClipContentView(sampleRecord(ClipKind::text, prose), ClipPreview::text(), {}));
    ASSERT_EQ(codeView->presentation(), Presentation::code);
    ASSERT_EQ(proseView->presentation(), Presentation::plainText);

    auto* shownCode = only<LongTextView>(codeView, "code-text");
    EXPECT_EQ(shownCode->text(), code);
    // The head is highlighted in the code font; past it the view's own font.
    EXPECT_EQ(shownCode->document()->firstBlock().begin().fragment().charFormat().font().pixelSize(), 12);
    EXPECT_NE(shownCode->document()->lastBlock().previous().begin().fragment().charFormat().font().pixelSize(), 12);
    auto* shownProse = only<LongTextView>(proseView, "plain-text");
    EXPECT_EQ(shownProse->text(), prose);
    for (LongTextView* view : {shownCode, shownProse}) {
        EXPECT_FALSE(middleLaidOut(view));
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
        QApplication::processEvents();
        EXPECT_EQ(view->cursorForPosition(QPoint(0, view->viewport()->height() - 1)).block(),
                  view->document()->lastBlock())
            << "the end is reached by scrolling";
    }
}

TEST(ClipContentView, EmojiTextsOfAnyLengthScrollAndAreLaidOutOnlyAsFarAsShown)
{
    // A chat message's worth of emoji is short in characters, yet each colour glyph is costly
    // to measure: beyond a short text it scrolls, with lines spaced as short texts are.
    QString emoji;
    for (int i = 0; i < 1000; ++i)
        emoji += QString::fromUcs4(std::array<char32_t, 1>{char32_t(0x1F600 + i % 80)}.data(), 1);
    test::ThemedWindow window;
    auto* view = window.hold(new ClipContentView(sampleRecord(ClipKind::text, emoji), ClipPreview::text(), {}),
                             QSize(248, 300));
    auto* shown = only<LongTextView>(view, "plain-text");
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->text(), emoji);
    EXPECT_FALSE(middleLaidOut(shown));
    const QTextLayout* first = shown->document()->firstBlock().layout();
    ASSERT_GT(first->lineCount(), 2);
    EXPECT_EQ(first->lineAt(1).y() - first->lineAt(0).y(),
              first->lineAt(0).height() + ClipContentView::plainLineSpacing);

    const QString note = QStringLiteral("A short note \U0001F600");
    ClipContentView shortNote(sampleRecord(ClipKind::text, note), ClipPreview::text(), {});
    EXPECT_TRUE(shortNote.findChild<DocumentView*>(QStringLiteral("plain-text")));
}

TEST(ClipContentView, RichTextIsReadAwayFromTheMainThreadAndLaidOutOnlyAsFarAsShown)
{
    QByteArray body;
    for (int i = 0; i < 3000; ++i)
        body += "{\\b Paragraph " + QByteArray::number(i) + "} of a long report\\par ";
    test::ThemedWindow window;
    auto* view = window.hold(
        new ClipContentView(sampleRecord(ClipKind::richText, QStringLiteral("Paragraph 0")),
                            ClipPreview::richText(rtf(body.constData()), QStringLiteral("public.rtf")), {}),
        QSize(248, 300));
    EXPECT_EQ(view->presentation(), Presentation::richText);
    auto* shown = only<LongTextView>(view, "formatted-text");
    ASSERT_TRUE(shown);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown->document()->blockCount() >= 3000; }, 10000));
    QApplication::processEvents();
    EXPECT_TRUE(shown->document()->firstBlock().text().startsWith(QStringLiteral("Paragraph 0")));
    EXPECT_TRUE(shown->document()->firstBlock().begin().fragment().charFormat().font().bold());
    EXPECT_FALSE(middleLaidOut(shown));
    EXPECT_GT(shown->document()->firstBlock().layout()->lineCount(), 0);
}

TEST(ClipContentView, RichTextShowsACharacterTooLongCutAndAllAroundIt)
{
    const QByteArray accents = QByteArray("\\u769?").repeated(200000);
    const QByteArray body = "before e" + accents + " after\\par {\\b e" + accents + "}\\par last";
    QFuture<FormattedTextView::Read> reading = FormattedTextView::read(rtf(body.constData()),
                                                                       QStringLiteral("public.rtf"));
    reading.waitForFinished();
    const std::unique_ptr<QTextDocument> document = std::move(reading.takeResult().document);
    ASSERT_TRUE(document);
    const QString cut = QStringLiteral("e") + QString(TextCharacters::longestCharacter - 1, QChar(0x0301));
    EXPECT_EQ(document->toPlainText(),
              QStringLiteral("before ") + cut + QStringLiteral(" after\n") + cut + QStringLiteral("\nlast"));
    EXPECT_TRUE(document->findBlockByNumber(1).begin().fragment().charFormat().font().bold());
}

TEST(ClipContentView, RichTextThatDoesNotReadLeavesTheAreaEmpty)
{
    test::ThemedWindow window;
    auto* view = window.hold(new ClipContentView(sampleRecord(ClipKind::richText, QStringLiteral("x")),
                                                 ClipPreview::richText("no rtf at all", QStringLiteral("public.rtf")),
                                                 {}));
    auto* shown = only<LongTextView>(view, "formatted-text");
    ASSERT_TRUE(shown);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !shown->isVisible(); }, 10000));
}

TEST(ClipContentView, TextKindAloneIsCheckedForCode)
{
    const QString code = QStringLiteral("let a = 1");
    EXPECT_EQ(ClipContentView(sampleRecord(ClipKind::text, code), ClipPreview::text(), {}).presentation(),
              Presentation::code);
    EXPECT_EQ(ClipContentView(sampleRecord(ClipKind::other, code), ClipPreview::text(), {}).presentation(),
              Presentation::plainText);
}

TEST(ClipContentView, ImagesFitTheWidthUpTo350High)
{
    const QByteArray tallPNG = test::png(300, 900);
    ClipContentView tall(sampleRecord(ClipKind::image, {}), ClipPreview::image(tallPNG), QImage::fromData(tallPNG));
    EXPECT_EQ(tall.presentation(), Presentation::image);
    EXPECT_EQ(tall.heightForWidth(420), 350);
    EXPECT_EQ(tall.findChild<QWidget*>()->accessibleName(), QStringLiteral("Image preview"));

    const QByteArray widePNG = test::png(800, 200);
    ClipContentView wide(sampleRecord(ClipKind::image, {}), ClipPreview::image(widePNG), QImage::fromData(widePNG));
    EXPECT_EQ(wide.heightForWidth(400), 100);
}

TEST(ClipContentView, BytesThatAreNoImageLeaveTheAreaEmpty)
{
    // The history decodes nothing from them.
    ClipContentView view(sampleRecord(ClipKind::image, {}), ClipPreview::image("not an image"), QImage());
    EXPECT_EQ(view.presentation(), Presentation::empty);
    EXPECT_TRUE(view.findChildren<QWidget*>().isEmpty());
}

TEST(FormattedTextView, SurfaceFollowsTheInk)
{
    const Appearance dark{true, false};
    FormattedTextView plain(rtf("No colours at all"), QStringLiteral("public.rtf"), 1000, std::nullopt, true);
    ASSERT_FALSE(plain.isEmpty());
    EXPECT_EQ(FormattedTextView::surfaceColor(*plain.surface(), dark),
              TavlinTheme::richTextFallbackColor.resolve(dark));

    FormattedTextView white(rtf("\\cf1 White words\\cf2  ok", "\\red255\\green255\\blue255;\\red0\\green0\\blue0;"),
                            QStringLiteral("public.rtf"), 1000, std::nullopt, true);
    EXPECT_EQ(white.surface(), RichTextPresentation::Surface::lightInk);
    // Text without a colour of its own stays readable on the dark surface in light mode too.
    EXPECT_EQ(white.palette().color(QPalette::Text), QColor(Qt::white));
    EXPECT_EQ(FormattedTextView::surfaceColor(RichTextPresentation::Surface::white, dark), QColor(Qt::white));
}

TEST(FormattedTextView, UnreadableBytesGiveAnEmptyView)
{
    FormattedTextView view("plain bytes, no rtf", QStringLiteral("public.rtf"), 1000, std::nullopt, true);
    EXPECT_TRUE(view.isEmpty());
    EXPECT_EQ(view.height(), 0);
}

TEST(FormattedTextView, LineLimitAndSelection)
{
    QByteArray body;
    for (int i = 0; i < 12; ++i)
        body += "Line of rich text number " + QByteArray::number(i) + "\\par ";
    test::ThemedWindow window;
    auto* cut = window.hold(
        new FormattedTextView(rtf(body.constData()), QStringLiteral("public.rtf"), 100000, 3, false), QSize(420, 400));
    EXPECT_TRUE(cut->isTruncated());
    EXPECT_EQ(cut->textInteractionFlags(), Qt::NoTextInteraction);
    const int threeLines = cut->height();

    FormattedTextView whole(rtf(body.constData()), QStringLiteral("public.rtf"), 100000, std::nullopt, true);
    EXPECT_FALSE(whole.isTruncated());
    EXPECT_TRUE(whole.textInteractionFlags() & Qt::TextSelectableByMouse);
    EXPECT_GT(whole.heightForWidth(388), 3 * threeLines);
}

TEST(DocumentView, IsLaidOutOnlyAtTheWidthItIsShownAt)
{
    QString text;
    for (int i = 0; i < 40; ++i)
        text += QStringLiteral("Words that wrap at a narrower width. ");
    test::ThemedWindow window;
    auto* view = window.hold(new DocumentView, QSize(400, 100));
    view->setPlainText(text);
    QApplication::processEvents();
    const int shown = view->heightForWidth(view->viewport()->width());
    // Asked about widths a layout tries, it answers without laying the text out there.
    EXPECT_EQ(view->heightForWidth(60), shown);
    EXPECT_EQ(view->sizeHint().height(), shown);
    EXPECT_EQ(view->document()->textWidth(), view->viewport()->width());
}

TEST(ClipSnippetView, CodeOnARaisedSurfaceProsePlain)
{
    test::ThemedWindow window;
    auto* code = window.hold(new ClipSnippetView(QStringLiteral("func a() {\n  b()\n}\n// more\n// more"), 2, 400, 14));
    EXPECT_TRUE(code->isCode());
    EXPECT_TRUE(code->isTruncated());
    EXPECT_EQ(code->document()->defaultFont().pixelSize(), 12);

    ClipSnippetView prose(QStringLiteral("A plain note"), 0, 400, 14);
    EXPECT_FALSE(prose.isCode());
    EXPECT_EQ(prose.maximumLines(), 1);
    EXPECT_EQ(prose.document()->defaultFont().pixelSize(), 14);
    EXPECT_EQ(ClipSnippetView(QStringLiteral("abcdef"), 1, 3, 14).toPlainText(), QStringLiteral("abc"));
}

// A screen reader reads the host and moves in it as the user sees it: the characters that only
// place its line breaks are not part of it.
TEST(ClipContentView, AHostReadsAsItselfToAssistiveTechnology)
{
    test::ThemedWindow window;
    auto* view = window.hold(
        new ClipContentView(sampleRecord(ClipKind::link, QStringLiteral("https://www.mail-archive.debian.org/x")),
                            ClipPreview::text(), {}),
        QSize(420, 300));
    auto* host = only<DocumentView>(view, "link-host");
    ASSERT_TRUE(host->toPlainText().contains(QChar(0x200B))) << "no breaks placed: the test shows nothing";
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(host);
    ASSERT_TRUE(accessible && accessible->textInterface());
    const QString hostText = QStringLiteral("www.mail-archive.debian.org");
    EXPECT_EQ(accessible->text(QAccessible::Value), hostText);
    QAccessibleTextInterface* text = accessible->textInterface();
    EXPECT_EQ(text->characterCount(), hostText.size());
    EXPECT_EQ(text->text(0, text->characterCount()), hostText);

    // "debian", chosen by its place in the host, is what the view selects and copies.
    text->setSelection(0, 17, 23);
    EXPECT_EQ(host->textCursor().selectedText(), QStringLiteral("debian"));
    int start = -1, end = -1;
    text->selection(0, &start, &end);
    EXPECT_EQ(std::pair(start, end), std::pair(17, 23));
    text->setCursorPosition(hostText.size());
    EXPECT_EQ(text->cursorPosition(), hostText.size());
    EXPECT_EQ(host->textCursor().position(), host->toPlainText().size());
}

} // namespace
} // namespace tavlin
