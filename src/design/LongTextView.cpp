#include "LongTextView.h"

#include "RoundedShape.h"
#include "ThemeAppearance.h"

#include <QFontMetricsF>
#include <QHash>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace tavlin {

namespace {

// The block state of a paragraph that goes on with the line of the one before it.
constexpr int continuedLine = 1;

bool endsParagraph(QChar character)
{
    // What QTextCursor::insertText turns into a paragraph break (with \r\n as one).
    return character == u'\n' || character == u'\r' || character == QChar::ParagraphSeparator
        || character == QChar(0xfdd0) || character == QChar(0xfdd1);
}

// Where the paragraph that starts at `start` of a longer line ends: after a space near the
// limit when there is one, so that the break reads as a wrap; else between two characters as
// the user sees them, never inside a surrogate pair or a cluster of combining marks.
qsizetype paragraphEnd(const QString& text, qsizetype start)
{
    const qsizetype limit = start + LongTextView::paragraphCharacters;
    for (qsizetype end = limit; end > limit - 200; --end) {
        if (text.at(end - 1).isSpace())
            return end;
    }
    constexpr qsizetype reach = 64;
    const qsizetype from = limit - reach;
    const qsizetype length = std::min(text.size() - from, 2 * reach);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.constData() + from, length);
    finder.setPosition(reach);
    if (finder.isAtBoundary())
        return limit;
    const qsizetype boundary = finder.toPreviousBoundary();
    return boundary > 0 ? from + boundary : limit;
}

// The text as the document holds it. Short lines share a paragraph, parted by line separators,
// as a document of many small paragraphs is slow to build; a long line is cut into paragraphs,
// as one long paragraph is slow to lay out. \r\n is one break.
struct Paragraphs {
    QString text;
    // The numbers of the blocks that go on with the line of the block before.
    QList<int> continued;
    // From a position of the given text on, the shift to the position in `text`.
    QList<std::pair<qsizetype, qsizetype>> shifts;

    explicit Paragraphs(const QString& given)
    {
        constexpr qsizetype limit = LongTextView::paragraphCharacters;
        text.reserve(given.size() + given.size() / limit + 1);
        const auto lineEnd = [&given](qsizetype from) {
            return std::find_if(given.cbegin() + from, given.cend(), endsParagraph) - given.cbegin();
        };
        qsizetype shift = 0;
        int block = 0;
        // The length of the paragraph being filled.
        qsizetype length = 0;
        for (qsizetype at = 0, end = lineEnd(0);;) {
            while (end - at > limit) {
                const qsizetype cut = paragraphEnd(given, at);
                text.append(QStringView(given).sliced(at, cut - at));
                text.append(u'\n');
                continued.append(++block);
                shifts.append({cut, ++shift});
                length = 0;
                at = cut;
            }
            text.append(QStringView(given).sliced(at, end - at));
            length += end - at;
            if (end == given.size())
                break;
            at = end + 1;
            if (given.at(end) == u'\r' && at < given.size() && given.at(at) == u'\n')
                shifts.append({++at, --shift});
            end = lineEnd(at);
            if (length + 1 + (end - at) <= limit) {
                text.append(QChar::LineSeparator);
                ++length;
            } else {
                text.append(u'\n');
                ++block;
                length = 0;
            }
        }
    }

    qsizetype position(qsizetype given) const
    {
        const auto after = std::upper_bound(shifts.cbegin(), shifts.cend(), given,
                                            [](qsizetype value, const auto& entry) { return value < entry.first; });
        return given + (after == shifts.cbegin() ? 0 : std::prev(after)->second);
    }
};

// Where Qt may part a paragraph's text for shaping: every so many characters, where a line may
// break. Qt shapes a run of one format whole, however few of its lines are laid out, and a colour
// emoji costs it tens of microseconds to measure; so that a paragraph's first lines shape only
// the text they hold, the runs are cut into pieces (of no format of their own, which shows
// nothing). A place where a line may break is one where shaping may stop without a change.
QList<QTextLayout::FormatRange> shapingPieces(const QString& text)
{
    constexpr qsizetype piece = 32;
    QList<QTextLayout::FormatRange> pieces;
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    for (qsizetype start = 0; text.size() - start > piece;) {
        breaks.setPosition(start + piece);
        const qsizetype end = breaks.isAtBoundary() ? breaks.position() : breaks.toNextBoundary();
        if (end < 0 || end >= text.size())
            break;
        pieces.append({int(start), int(end - start), {}});
        start = end;
    }
    return pieces;
}

// Lays out a paragraph only when it is asked for, as QPlainTextDocumentLayout does, but with the
// paragraph's own alignment, margins and first-line indent, and room between its lines: so rich
// text and spaced plain text show as they would in a full text layout, yet what is not shown is
// never laid out. A paragraph that goes on below what shows is laid out only a line past the
// view's bottom, the rest of its lines counted from the characters each line took so far, and
// laid out further as the view scrolls nearer them.
class ParagraphLayout : public QPlainTextDocumentLayout {
public:
    // Lines wrap at the width of `view`'s viewport, as the view that shows the document has them.
    ParagraphLayout(QTextDocument* document, QPlainTextEdit* view)
        : QPlainTextDocumentLayout(document), view_(view), viewport_(view->viewport())
    {
    }

    // Runs `measure`, in which the view may measure its last page, from the last paragraph up,
    // to end its scrolling there. A page far below what shows is not laid out for that: its
    // paragraphs count as one line each until the view comes near them, and then it is measured
    // again. Meanwhile the view scrolls as far as the last line's top, which lays the last
    // paragraph out; a view scrolled to its end stays there as paragraphs above it grow.
    template <class Measure>
    void measuringEnd(Measure measure)
    {
        QScrollBar* bar = view_ ? view_->verticalScrollBar() : nullptr;
        const bool atEnd = bar && bar->value() > 0 && bar->value() == bar->maximum();
        const bool measuring = measuringEnd_;
        measuringEnd_ = true;
        endEstimated_ = false;
        measure();
        measuringEnd_ = measuring;
        if (!bar)
            return;
        if (endEstimated_)
            bar->setMaximum(qMin(bar->maximum(), qMax(0, document()->lineCount() - 1)));
        if (atEnd)
            bar->setValue(bar->maximum());
    }

    // Tells the view now of line counts that changed, rather than when it is done with what it
    // does: whether there were any.
    bool measurePending()
    {
        if (!sizeChangePending_)
            return false;
        sizeChangePending_ = false;
        measuringEnd([this] { Q_EMIT documentSizeChanged(documentSize()); });
        return true;
    }

    void setLineSpacing(qreal pixels)
    {
        lineSpacing_ = pixels;
        laidOut_.clear();
        sizeChanged();
    }

    QRectF blockBoundingRect(const QTextBlock& block) const override
    {
        if (!block.isValid() || !block.isVisible())
            return QPlainTextDocumentLayout::blockBoundingRect(block);
        const QTextLayout* layout = block.layout();
        // Nothing is laid out before the view shows, at the size its parent gives it: until then
        // a paragraph counts as one line.
        if (!viewport_ || !viewport_->isVisible())
            return QRectF(0, 0, wrapWidth(), oneLine());
        const auto laid = laidOut_.constFind(layout);
        int wanted = linesWanted(block);
        // A paragraph laid out by the base class, or at another width, is laid out again; one laid
        // out in part, further when more of it is wanted.
        if (layout->lineCount() > 0 && laid != laidOut_.cend() && laid->width == wrapWidth()
            && (laid->whole || layout->lineCount() >= wanted))
            return QRectF(0, 0, wrapWidth(), laid->height);
        if (measuringEnd_ && farBelow(block)) {
            endEstimated_ = true;
            return QRectF(0, 0, wrapWidth(), oneLine());
        }
        // Laid out again, a paragraph is shaped again: it goes at least twice as far as before.
        if (laid != laidOut_.cend() && laid->width == wrapWidth() && wanted != INT_MAX)
            wanted = qMax(wanted, 2 * layout->lineCount());
        return QRectF(0, 0, wrapWidth(), layOut(block, wanted));
    }

protected:
    void documentChanged(int from, int removed, int added) override
    {
        laidOut_.clear();
        QPlainTextDocumentLayout::documentChanged(from, removed, added);
    }

private:
    struct Laid {
        qreal width = 0;
        qreal height = 0;
        // Whether all its lines are laid out, not only those down to a little below the view.
        bool whole = true;
    };

    qreal wrapWidth() const { return viewport_ ? viewport_->width() : 0; }
    qreal oneLine() const { return QFontMetricsF(document()->defaultFont()).lineSpacing(); }

    // Whether the paragraph lies more than a screen of lines below the view's top line, where it
    // cannot show, and holds neither end of the selection (which the view may scroll to).
    bool farBelow(const QTextBlock& block) const
    {
        if (!view_)
            return false;
        const QTextBlock top = document()->findBlockByLineNumber(view_->verticalScrollBar()->value());
        const int screen = int(viewport_->height() / qMax<qreal>(1, oneLine())) + 1;
        const QTextCursor cursor = view_->textCursor();
        return top.isValid() && block.blockNumber() > top.blockNumber() + screen && !block.contains(cursor.position())
            && !block.contains(cursor.anchor());
    }

    // How many of the paragraph's lines the view needs as it is scrolled now: down to a line
    // below its bottom; all when it measures its last page.
    int linesWanted(const QTextBlock& block) const
    {
        if (!view_ || measuringEnd_)
            return INT_MAX;
        const int screen = int(viewport_->height() / qMax<qreal>(1, oneLine() + lineSpacing_)) + 1;
        return qMax(1, view_->verticalScrollBar()->value() + screen + 1 - block.firstLineNumber());
    }

    qreal layOut(QTextBlock block, int wanted) const
    {
        const QTextBlockFormat format = block.blockFormat();
        const qreal margin = document()->documentMargin();
        QTextLayout* layout = block.layout();
        QTextOption option = document()->defaultTextOption();
        option.setTextDirection(block.textDirection());
        option.setAlignment(QStyle::visualAlignment(block.textDirection(), format.alignment()));
        layout->setTextOption(option);
        // Painting would shape the paragraph again otherwise, at each repaint.
        layout->setCacheEnabled(true);
        const qreal left = margin + format.leftMargin();
        const qreal available = wrapWidth() > 0 ? wrapWidth() : qreal(INT_MAX);
        const qreal width = qMax<qreal>(1, available - 2 * margin - format.leftMargin() - format.rightMargin());
        qreal y = format.topMargin();
        int lines = 0;
        // Where the lines laid out end in the paragraph's text.
        int end = 0;
        const int length = block.length() - 1;
        layout->setFormats(shapingPieces(block.text()));
        layout->beginLayout();
        // A line is asked for only when it is to be laid out: Qt lays a line left open out to the
        // paragraph's end.
        while (lines < wanted) {
            QTextLine line = layout->createLine();
            if (!line.isValid())
                break;
            const qreal indent = lines == 0 ? format.textIndent() : 0;
            line.setLeadingIncluded(true);
            line.setLineWidth(qMax<qreal>(1, width - indent));
            if (lines > 0)
                y += lineSpacing_;
            line.setPosition(QPointF(left + indent, y));
            y += line.height();
            end = line.textStart() + line.textLength();
            ++lines;
        }
        layout->endLayout();
        const bool whole = end >= length;
        int counted = lines;
        if (!whole) {
            // The lines still to come, as many as the characters left would fill at the rate so far.
            const int rest = int(std::ceil(qreal(length - end) * lines / qMax(1, end)));
            y += rest * ((y - format.topMargin()) / lines + lineSpacing_);
            counted += rest;
        }
        // The view counts its scroll range in lines: it hears of a count that changed, but only
        // once it is done with what asked for this paragraph. Come nearer a last page it has not
        // measured, it measures it again.
        if (block.lineCount() != counted || endEstimated_)
            sizeChanged();
        block.setLineCount(counted);
        // The room between lines is kept between paragraphs too, which a plain text breaks at will.
        qreal height = y + format.bottomMargin();
        if (block.next().isValid())
            height += lineSpacing_;
        else
            height += margin;
        laidOut_.insert(layout, {wrapWidth(), height, whole});
        return height;
    }

    void sizeChanged() const
    {
        if (sizeChangePending_)
            return;
        sizeChangePending_ = true;
        QMetaObject::invokeMethod(
            const_cast<ParagraphLayout*>(this), [this] { const_cast<ParagraphLayout*>(this)->measurePending(); },
            Qt::QueuedConnection);
    }

    QPointer<QPlainTextEdit> view_;
    QPointer<QWidget> viewport_;
    bool measuringEnd_ = false;
    mutable bool endEstimated_ = false;
    mutable bool sizeChangePending_ = false;
    qreal lineSpacing_ = 0;
    mutable QHash<const QTextLayout*, Laid> laidOut_;
};

ParagraphLayout* paragraphLayout(QTextDocument* document, QPlainTextEdit* view)
{
    auto* layout = new ParagraphLayout(document, view);
    document->setDocumentLayout(layout);
    return layout;
}

ParagraphLayout* paragraphsOf(const QPlainTextEdit* view)
{
    return static_cast<ParagraphLayout*>(view->document()->documentLayout());
}

} // namespace

LongTextView::LongTextView(QWidget* parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFocusPolicy(Qt::ClickFocus);
    auto* document = new QTextDocument(this);
    paragraphLayout(document, this);
    setDocument(document);
    setUndoRedoEnabled(false);
    viewport()->setAutoFillBackground(false);
    viewport()->setCursor(Qt::IBeamCursor);
    QPalette transparent = palette();
    transparent.setColor(QPalette::Base, Qt::transparent);
    setPalette(transparent);
    document->setDocumentMargin(0);
}

void LongTextView::setRichDocument(std::unique_ptr<QTextDocument> document)
{
    QTextDocument* shown = this->document();
    document->setParent(this);
    document->setDocumentMargin(shown->documentMargin());
    ParagraphLayout* layout = paragraphLayout(document.get(), this);
    layout->setLineSpacing(lineSpacing_);
    layout->measuringEnd([&] { setDocument(document.release()); });
    if (shown->parent() == this)
        delete shown;
    given_.reset();
    shifts_.clear();
}

void LongTextView::setLineSpacing(qreal pixels)
{
    lineSpacing_ = pixels;
    paragraphsOf(this)->setLineSpacing(pixels);
    viewport()->update();
}

void LongTextView::setText(const QString& text, const QList<QTextLayout::FormatRange>& formats)
{
    const Paragraphs paragraphs(text);
    given_ = text;
    shifts_.clear();
    for (const auto& [position, shift] : paragraphs.shifts)
        shifts_.append({position + shift, shift});
    paragraphsOf(this)->measuringEnd([&] {
        setPlainText(paragraphs.text);
        for (int number : paragraphs.continued)
            document()->findBlockByNumber(number).setUserState(continuedLine);
        if (formats.isEmpty())
            return;
        // Colours change how the text looks, not what it says: told, they would reach assistive
        // technology as the text deleted and inserted again.
        const QSignalBlocker quiet(document());
        QTextCursor cursor(document());
        cursor.beginEditBlock();
        for (const QTextLayout::FormatRange& range : formats) {
            cursor.setPosition(int(paragraphs.position(range.start)));
            cursor.setPosition(int(paragraphs.position(range.start + range.length)), QTextCursor::KeepAnchor);
            cursor.setCharFormat(range.format);
        }
        cursor.endEditBlock();
    });
}

QString LongTextView::text() const
{
    if (given_)
        return *given_;
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    return joined(cursor.selectedText(), document()->firstBlock());
}

QString LongTextView::selectedText() const
{
    const QTextCursor cursor = textCursor();
    if (given_) {
        // Cut from the text as given, so that its CR LF, lone CR and separators stay as they were.
        const qsizetype start = givenPosition(cursor.selectionStart());
        return given_->mid(start, givenPosition(cursor.selectionEnd()) - start);
    }
    return joined(cursor.selectedText(), document()->findBlock(cursor.selectionStart()));
}

qsizetype LongTextView::givenPosition(qsizetype shown) const
{
    const auto after = std::upper_bound(shifts_.cbegin(), shifts_.cend(), shown,
                                        [](qsizetype value, const auto& entry) { return value < entry.first; });
    const qsizetype given = shown - (after == shifts_.cbegin() ? 0 : std::prev(after)->second);
    return std::clamp<qsizetype>(given, 0, given_ ? given_->size() : 0);
}

bool LongTextView::event(QEvent* event)
{
    // With text selected, the copy keys copy it, before the window's copy shortcut copies the record.
    if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)
        && textCursor().hasSelection()) {
        event->accept();
        return true;
    }
    return QPlainTextEdit::event(event);
}

QString LongTextView::joined(const QString& shown, QTextBlock block) const
{
    QString text;
    text.reserve(shown.size());
    for (const QChar character : shown) {
        if (character == QChar::LineSeparator) {
            text.append(u'\n');
            continue;
        }
        if (character != QChar::ParagraphSeparator) {
            text.append(character);
            continue;
        }
        block = block.next();
        if (block.userState() != continuedLine)
            text.append(u'\n');
    }
    return text;
}

void LongTextView::setSurface(std::optional<ThemeColor> color, qreal radius)
{
    surface_ = color;
    surfaceColor_.reset();
    radius_ = radius;
    viewport()->update();
}

void LongTextView::setSurfaceColor(std::optional<QColor> color, qreal radius)
{
    surfaceColor_ = color;
    surface_.reset();
    radius_ = radius;
    viewport()->update();
}

void LongTextView::setPadding(int padding)
{
    // Where the text lies, not what it says (see setText).
    const QSignalBlocker quiet(document());
    document()->setDocumentMargin(padding);
}

QSize LongTextView::sizeHint() const
{
    // As much as there is room for: the view scrolls its own text.
    return {QPlainTextEdit::sizeHint().width(), 10 * fontMetrics().lineSpacing()};
}

QSize LongTextView::minimumSizeHint() const
{
    return {0, 3 * fontMetrics().lineSpacing()};
}

QMimeData* LongTextView::createMimeDataFromSelection() const
{
    auto* data = new QMimeData;
    data->setText(selectedText());
    return data;
}

void LongTextView::resizeEvent(QResizeEvent* event)
{
    paragraphsOf(this)->measuringEnd([&] { QPlainTextEdit::resizeEvent(event); });
}

void LongTextView::showEvent(QShowEvent* event)
{
    paragraphsOf(this)->measuringEnd([&] { QPlainTextEdit::showEvent(event); });
}

void LongTextView::scrollContentsBy(int dx, int dy)
{
    QPlainTextEdit::scrollContentsBy(dx, dy);
    if (scrolling_)
        return;
    // What now shows is laid out, and the scroll range that changes settled, before the frame is
    // painted: a view dragged to a far end it had only estimated would first show the estimate,
    // blank or short of the end, and then jump.
    const QScopedValueRollback scrolling(scrolling_, true);
    for (int round = 0; round < 4; ++round) {
        qreal y = contentOffset().y();
        for (QTextBlock block = firstVisibleBlock(); block.isValid() && y < viewport()->height(); block = block.next())
            y += blockBoundingRect(block).height();
        if (!paragraphsOf(this)->measurePending())
            break;
    }
}

void LongTextView::paintEvent(QPaintEvent* event)
{
    if (surface_ || surfaceColor_) {
        QPainter painter(viewport());
        const QColor color = surfaceColor_ ? *surfaceColor_ : surface_->resolve(ThemeAppearance::of(this));
        RoundedShape::fill(painter, QRectF(viewport()->rect()), radius_, color);
    }
    QPlainTextEdit::paintEvent(event);
}

} // namespace tavlin
