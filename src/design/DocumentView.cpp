#include "DocumentView.h"

#include "RoundedShape.h"
#include "ThemeAppearance.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFrame>
#include <QTextLayout>
#include <QWheelEvent>

#include <algorithm>

namespace tavlin {

DocumentView::DocumentView(QWidget* parent) : QTextEdit(parent)
{
    setReadOnly(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    viewport()->setAutoFillBackground(false);
    QPalette transparent = palette();
    transparent.setColor(QPalette::Base, Qt::transparent);
    setPalette(transparent);
    document()->setDocumentMargin(0);
    setSelectable(true);
    connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            &DocumentView::refit);
}

void DocumentView::setSelectable(bool selectable)
{
    selectable_ = selectable;
    setTextInteractionFlags(selectable ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                       : Qt::NoTextInteraction);
    setFocusPolicy(selectable ? Qt::ClickFocus : Qt::NoFocus);
    viewport()->setCursor(selectable ? Qt::IBeamCursor : Qt::ArrowCursor);
}

void DocumentView::setMaximumLines(std::optional<int> lines)
{
    maximumLines_ = lines;
    refit();
}

void DocumentView::setSurface(std::optional<ThemeColor> color, qreal radius)
{
    surface_ = color;
    surfaceColor_.reset();
    radius_ = radius;
    viewport()->update();
}

void DocumentView::setSurfaceColor(std::optional<QColor> color, qreal radius)
{
    surfaceColor_ = color;
    surface_.reset();
    radius_ = radius;
    viewport()->update();
}

void DocumentView::setPadding(const QMarginsF& padding)
{
    padding_ = padding;
    documentReplaced();
}

void DocumentView::setLineSpacing(qreal pixels)
{
    lineSpacing_ = pixels;
    documentReplaced();
}

void DocumentView::documentReplaced()
{
    // Padding and line spacing change where the text lies, not what it says. Told, each would reach
    // assistive technology as the whole text deleted and inserted again: a burst that makes a
    // screen reader drop what it was about to say. The layout follows them all the same.
    const QSignalBlocker quiet(document());
    QTextFrameFormat frame = document()->rootFrame()->frameFormat();
    frame.setMargin(0);
    frame.setLeftMargin(padding_.left());
    frame.setRightMargin(padding_.right());
    frame.setTopMargin(padding_.top());
    frame.setBottomMargin(padding_.bottom());
    document()->rootFrame()->setFrameFormat(frame);
    if (lineSpacing_) {
        QTextCursor cursor(document());
        cursor.select(QTextCursor::Document);
        QTextBlockFormat spacing;
        spacing.setLineHeight(*lineSpacing_, QTextBlockFormat::LineDistanceHeight);
        cursor.mergeBlockFormat(spacing);
    }
    refit();
}

void DocumentView::setPlainTextKeepingBreaks(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    QList<qsizetype> joined;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != u'\r') {
            shown.append(text.at(i));
            continue;
        }
        if (i + 1 < text.size() && text.at(i + 1) == u'\n') {
            joined.append(shown.size());
            ++i;
        }
        shown.append(u'\n');
    }
    setPlainText(shown);
    given_ = text;
    joinedBreaks_ = joined;
}

QMimeData* DocumentView::createMimeDataFromSelection() const
{
    if (!given_)
        return QTextEdit::createMimeDataFromSelection();
    // Cut from the text as given: each CR LF before a position of the document moved it one back.
    const auto given = [this](qsizetype shown) {
        return shown + (std::lower_bound(joinedBreaks_.cbegin(), joinedBreaks_.cend(), shown) - joinedBreaks_.cbegin());
    };
    const QTextCursor cursor = textCursor();
    const qsizetype start = given(cursor.selectionStart());
    auto* data = new QMimeData;
    data->setText(given_->mid(start, given(cursor.selectionEnd()) - start));
    return data;
}

bool DocumentView::event(QEvent* event)
{
    // With text selected, the copy keys copy it, before the window's copy shortcut copies the record.
    if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)
        && textCursor().hasSelection()) {
        event->accept();
        return true;
    }
    return QTextEdit::event(event);
}

int DocumentView::lineCount() const
{
    int lines = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        lines += block.layout() ? qMax(1, block.layout()->lineCount()) : 1;
    return lines;
}

bool DocumentView::isTruncated() const
{
    return maximumLines_ && lineCount() > qMax(1, *maximumLines_);
}

int DocumentView::contentHeight() const
{
    const qreal full = document()->documentLayout()->documentSize().height();
    if (!maximumLines_)
        return qCeil(full);
    // The bottom of the last line within the limit, plus the bottom padding.
    int remaining = qMax(1, *maximumLines_);
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QTextLayout* layout = block.layout();
        if (!layout)
            continue;
        const QRectF blockRect = document()->documentLayout()->blockBoundingRect(block);
        const int lines = layout->lineCount();
        if (lines >= remaining) {
            const QTextLine line = layout->lineAt(remaining - 1);
            return qCeil(qMin(full, blockRect.top() + line.y() + line.height() + padding_.bottom()));
        }
        remaining -= lines;
    }
    return qCeil(full);
}

int DocumentView::heightForWidth(int) const
{
    // The text is laid out only at the width it is shown at, never at the widths a layout tries:
    // asked about another, the view answers with its height now, and fits itself again once it
    // is shown at the new width.
    return contentHeight();
}

QSize DocumentView::sizeHint() const
{
    return {qCeil(document()->idealWidth()), contentHeight()};
}

QSize DocumentView::minimumSizeHint() const
{
    return {0, 0};
}

void DocumentView::refit()
{
    const int height = contentHeight();
    if (minimumHeight() != height || maximumHeight() != height) {
        setFixedHeight(height);
        updateGeometry();
    }
}

void DocumentView::resizeEvent(QResizeEvent* event)
{
    QTextEdit::resizeEvent(event);
    verticalScrollBar()->setValue(0);
    refit();
}

void DocumentView::wheelEvent(QWheelEvent* event)
{
    // Scrolling belongs to the scroll area around the view.
    event->ignore();
}

void DocumentView::changeEvent(QEvent* event)
{
    QTextEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        viewport()->update();
}

void DocumentView::paintEvent(QPaintEvent* event)
{
    if (surface_ || surfaceColor_) {
        QPainter painter(viewport());
        const QColor color = surfaceColor_ ? *surfaceColor_ : surface_->resolve(ThemeAppearance::of(this));
        RoundedShape::fill(painter, QRectF(viewport()->rect()), radius_, color);
    }
    QTextEdit::paintEvent(event);
}

} // namespace tavlin
