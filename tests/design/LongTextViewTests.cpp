#include "LongTextView.h"
#include "ThemedWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QScrollBar>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace tavlin {
namespace {

TEST(LongTextView, LongLinesArePiecedForLayoutYetSelectedAndCopiedAsTheyWere)
{
    // One long line of letters, words and clusters that must not be split: a skin-toned emoji
    // (two surrogate pairs) and a letter under a pile of combining marks.
    const QString zalgo = QStringLiteral("e") + QString(40, QChar(0x0301));
    const QString emoji = QStringLiteral("\U0001F44D\U0001F3FD");
    QString line;
    for (int i = 0; line.size() < 300000; ++i)
        line += i % 3 == 0 ? QString(997, u'x')
            : i % 3 == 1   ? emoji.repeated(333) + zalgo
                           : QStringLiteral("word ").repeated(150);
    const QString text = line + QStringLiteral("\r\nsecond line\n") + QString(100000, u'y');

    test::ThemedWindow window;
    auto* view = window.hold(new LongTextView, QSize(320, 400));
    view->setText(text, {{0, 4, {}}});
    // Its own line breaks are kept, CR LF as well.
    const QString expected = text;
    EXPECT_EQ(view->text(), expected);

    int continued = 0;
    for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next()) {
        ASSERT_LE(block.length() - 1, LongTextView::paragraphCharacters);
        const QString shown = block.text();
        EXPECT_FALSE(!shown.isEmpty()
                     && (shown.front().isLowSurrogate() || shown.front().category() == QChar::Mark_NonSpacing))
            << "a character is cut at paragraph " << block.blockNumber();
        EXPECT_FALSE(shown.startsWith(QStringLiteral("\U0001F3FD"))) << "an emoji is cut from its skin tone";
        continued += block.userState() == 1;
    }
    EXPECT_GT(continued, 100);

    // What does not show is not laid out; the end is reached by scrolling.
    const QTextBlock middle = view->document()->findBlockByNumber(view->document()->blockCount() / 2);
    EXPECT_EQ(middle.layout()->lineCount(), 0);
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
    QApplication::processEvents();
    EXPECT_EQ(view->cursorForPosition(QPoint(0, view->viewport()->height() - 1)).block(),
              view->document()->lastBlock());
    EXPECT_EQ(middle.layout()->lineCount(), 0);

    view->selectAll();
    EXPECT_EQ(view->selectedText(), expected);
    view->copy();
    EXPECT_EQ(QApplication::clipboard()->text(), expected);
    // A selection from inside one piece to inside another.
    const QTextBlock first = view->document()->firstBlock();
    QTextCursor cursor(first);
    cursor.setPosition(first.position() + 10);
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, 3);
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, 5);
    view->setTextCursor(cursor);
    EXPECT_EQ(view->selectedText(), expected.mid(10, cursor.selectionEnd() - cursor.selectionStart() - 3));
}

// Scrolled to the end, the last line rests on the bottom of the pane, as a shorter text ends,
// rather than scrolling on into blank room below it; a text that fits does not scroll at all.
TEST(LongTextView, TheEndOfTheTextStopsAtTheBottomOfThePane)
{
    test::ThemedWindow window;
    auto* view = window.hold(new LongTextView, QSize(320, 400));
    view->setPadding(8);
    view->setLineSpacing(4);
    QStringList lines;
    for (int i = 0; i < 400; ++i)
        lines.append(QStringLiteral("line %1").arg(i));
    view->setText(lines.join(u'\n'));
    test::ThemedWindow::settle();

    QScrollBar* bar = view->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum());
    test::ThemedWindow::settle();
    QTextCursor end(view->document());
    end.movePosition(QTextCursor::End);
    const QRect last = view->cursorRect(end);
    const int pane = view->viewport()->height();
    EXPECT_LE(last.bottom(), pane) << "the last line is cut off";
    EXPECT_GT(last.bottom(), pane - last.height() - 16) << "room below the end: " << pane - last.bottom() << " px";

    view->setText(QStringLiteral("one\ntwo"));
    test::ThemedWindow::settle();
    EXPECT_EQ(view->verticalScrollBar()->maximum(), 0);
}

// A paragraph taller than the pane is laid out only down to a little below it, its other lines
// counted; scrolled through, each line is laid out as it comes into view, and at the end every
// count is the true one. What showed late is selected and copied as it was.
TEST(LongTextView, ALongParagraphIsLaidOutAsFarAsItShowsAndFurtherAsItScrolls)
{
    QString text;
    for (int i = 0; text.size() < 3000; ++i)
        text += QStringLiteral("w%1 ").arg(i);
    test::ThemedWindow window;
    auto* view = window.hold(new LongTextView, QSize(90, 300));
    view->setText(text);
    test::ThemedWindow::settle();
    QTextDocument* document = view->document();
    const QTextBlock first = document->firstBlock();
    const int laidAtFirst = first.layout()->lineCount();
    EXPECT_GT(laidAtFirst, 0);
    EXPECT_LT(laidAtFirst, first.lineCount()) << "the paragraph was laid out whole";

    QScrollBar* bar = view->verticalScrollBar();
    const QPoint bottom(1, view->viewport()->height() - 2);
    for (int value = 0; value <= bar->maximum(); ++value) {
        bar->setValue(value);
        QApplication::processEvents();
        const QTextCursor shown = view->cursorForPosition(bottom);
        const QTextBlock block = shown.block();
        const QTextLine line = block.layout()->lineForTextPosition(shown.position() - block.position());
        ASSERT_TRUE(line.isValid()) << "nothing laid out at the bottom, scrolled to line " << value;
        ASSERT_GE(view->cursorRect(shown).bottom(), bottom.y() - 2 * view->fontMetrics().lineSpacing())
            << "blank room at the bottom, scrolled to line " << value;
    }
    test::ThemedWindow::settle();
    bar->setValue(bar->maximum());
    test::ThemedWindow::settle();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        EXPECT_EQ(block.lineCount(), block.layout()->lineCount()) << "paragraph " << block.blockNumber();
    QTextCursor end(document);
    end.movePosition(QTextCursor::End);
    EXPECT_LE(view->cursorRect(end).bottom(), view->viewport()->height());
    EXPECT_GT(view->cursorRect(end).bottom(), view->viewport()->height() - 2 * view->fontMetrics().lineSpacing());

    QTextCursor cursor = view->cursorForPosition(QPoint(1, view->viewport()->height() / 2));
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    view->setTextCursor(cursor);
    EXPECT_GT(view->selectedText().size(), 20);
    view->copy();
    EXPECT_EQ(QApplication::clipboard()->text(), text.right(view->selectedText().size()));
}

// Dragged straight to a far end it has not laid out, the view shows that end in the very frame
// the drag asks for, rather than its estimate of where the end was first.
TEST(LongTextView, DraggedToAFarEndTheViewShowsTheEndAtOnce)
{
    const QString emoji = QStringLiteral("\U0001F600\U0001F44D\U0001F3FD\U0001F680").repeated(2500);
    test::ThemedWindow window;
    auto* view = window.hold(new LongTextView, QSize(320, 400));
    view->setText(emoji + QStringLiteral("\nthe end"));
    test::ThemedWindow::settle();
    QScrollBar* bar = view->verticalScrollBar();
    bar->setSliderDown(true);
    bar->setSliderPosition(bar->maximum());
    QTextCursor end(view->document());
    end.movePosition(QTextCursor::End);
    const int bottom = view->cursorRect(end).bottom();
    EXPECT_LE(bottom, view->viewport()->height());
    EXPECT_GT(bottom, view->viewport()->height() - 2 * view->fontMetrics().lineSpacing())
        << "the end shows at " << bottom;
    EXPECT_EQ(bar->value(), bar->maximum());
    bar->setSliderDown(false);
}

TEST(LongTextView, AFarEndIsLaidOutOnlyWhenScrolledToAndScrollingStopsAtIt)
{
    // Thousands of emoji on one line, each costly to lay out, and a short last line.
    const QString emoji = QStringLiteral("\U0001F600\U0001F44D\U0001F3FD\U0001F680").repeated(2500);
    const QString text = emoji + QStringLiteral("\nthe end");
    test::ThemedWindow window;
    auto* view = new LongTextView;
    view->setText(text);
    window.hold(view, QSize(320, 400));
    QTextDocument* document = view->document();
    const QTextBlock last = document->lastBlock();
    // Shown at its top: what shows is laid out, the middle and the end are not.
    EXPECT_GT(document->firstBlock().layout()->lineCount(), 0);
    EXPECT_EQ(last.layout()->lineCount(), 0);
    EXPECT_EQ(last.previous().layout()->lineCount(), 0);
    const QTextBlock middle = document->findBlockByNumber(document->blockCount() / 2);
    EXPECT_EQ(middle.layout()->lineCount(), 0);

    // Scrolled to the end: the last line comes to rest at the bottom, and none scrolls past it.
    QScrollBar* bar = view->verticalScrollBar();
    bar->setValue(bar->maximum());
    const int lineSpacing = view->fontMetrics().lineSpacing();
    QTextCursor end(document);
    end.movePosition(QTextCursor::End);
    const auto atBottom = [&] {
        const int bottom = view->cursorRect(end).bottom();
        return bottom < view->viewport()->height() && bottom > view->viewport()->height() - 2 * lineSpacing;
    };
    for (QDeadlineTimer deadline(5000); !deadline.hasExpired() && !(last.layout()->lineCount() > 0 && atBottom());)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_GT(last.layout()->lineCount(), 0);
    EXPECT_TRUE(atBottom()) << view->cursorRect(end).bottom() << " in " << view->viewport()->height();
    bar->setValue(bar->maximum());
    test::ThemedWindow::settle();
    EXPECT_TRUE(atBottom()) << view->cursorRect(end).bottom() << " in " << view->viewport()->height();
    EXPECT_EQ(middle.layout()->lineCount(), 0);

    // What shows there is selected and copied as it was.
    QTextCursor cursor = view->cursorForPosition(QPoint(2, view->viewport()->height() - 3 * lineSpacing));
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    view->setTextCursor(cursor);
    EXPECT_GT(view->selectedText().size(), 8);
    EXPECT_EQ(view->selectedText(), text.right(view->selectedText().size()));
}

} // namespace
} // namespace tavlin
