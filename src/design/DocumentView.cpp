#include "DocumentView.h"

#include "RoundedShape.h"
#include "ThemeAppearance.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFrame>
#include <QTextLayout>
#include <QWheelEvent>

namespace tavlin {

DocumentView::DocumentView(QWidget* parent)
    : QTextEdit(parent)
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
    m_selectable = selectable;
    setTextInteractionFlags(selectable ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                       : Qt::NoTextInteraction);
    setFocusPolicy(selectable ? Qt::ClickFocus : Qt::NoFocus);
    viewport()->setCursor(selectable ? Qt::IBeamCursor : Qt::ArrowCursor);
}

void DocumentView::setMaximumLines(std::optional<int> lines)
{
    m_maximumLines = lines;
    refit();
}

void DocumentView::setSurface(std::optional<ThemeColor> color, qreal radius)
{
    m_surface = color;
    m_surfaceColor.reset();
    m_radius = radius;
    viewport()->update();
}

void DocumentView::setSurfaceColor(std::optional<QColor> color, qreal radius)
{
    m_surfaceColor = color;
    m_surface.reset();
    m_radius = radius;
    viewport()->update();
}

void DocumentView::setPadding(const QMarginsF& padding)
{
    m_padding = padding;
    documentReplaced();
}

void DocumentView::setLineSpacing(qreal pixels)
{
    m_lineSpacing = pixels;
    documentReplaced();
}

void DocumentView::documentReplaced()
{
    QTextFrameFormat frame = document()->rootFrame()->frameFormat();
    frame.setMargin(0);
    frame.setLeftMargin(m_padding.left());
    frame.setRightMargin(m_padding.right());
    frame.setTopMargin(m_padding.top());
    frame.setBottomMargin(m_padding.bottom());
    document()->rootFrame()->setFrameFormat(frame);
    if (m_lineSpacing) {
        QTextCursor cursor(document());
        cursor.select(QTextCursor::Document);
        QTextBlockFormat spacing;
        spacing.setLineHeight(*m_lineSpacing, QTextBlockFormat::LineDistanceHeight);
        cursor.mergeBlockFormat(spacing);
    }
    refit();
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
    return m_maximumLines && lineCount() > qMax(1, *m_maximumLines);
}

int DocumentView::contentHeight() const
{
    const qreal full = document()->documentLayout()->documentSize().height();
    if (!m_maximumLines)
        return qCeil(full);
    // The bottom of the last line within the limit, plus the bottom padding.
    int remaining = qMax(1, *m_maximumLines);
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QTextLayout* layout = block.layout();
        if (!layout)
            continue;
        const QRectF blockRect = document()->documentLayout()->blockBoundingRect(block);
        const int lines = layout->lineCount();
        if (lines >= remaining) {
            const QTextLine line = layout->lineAt(remaining - 1);
            return qCeil(qMin(full, blockRect.top() + line.y() + line.height() + m_padding.bottom()));
        }
        remaining -= lines;
    }
    return qCeil(full);
}

int DocumentView::heightForWidth(int width) const
{
    if (width == viewport()->width() || width <= 0)
        return contentHeight();
    // Laid out at that width for the measure, then put back.
    DocumentView* self = const_cast<DocumentView*>(this);
    self->m_measuring = true;
    const qreal shownWidth = document()->textWidth();
    self->document()->setTextWidth(width);
    const int height = contentHeight();
    self->document()->setTextWidth(shownWidth);
    self->m_measuring = false;
    return height;
}

QSize DocumentView::sizeHint() const
{
    const int width = qMax(this->width(), 100);
    return {qCeil(document()->idealWidth()), heightForWidth(width)};
}

QSize DocumentView::minimumSizeHint() const
{
    return {0, 0};
}

void DocumentView::refit()
{
    if (m_measuring)
        return;
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
    if (m_surface || m_surfaceColor) {
        QPainter painter(viewport());
        const QColor color = m_surfaceColor ? *m_surfaceColor : m_surface->resolve(ThemeAppearance::of(this));
        RoundedShape::fill(painter, QRectF(viewport()->rect()), m_radius, color);
    }
    QTextEdit::paintEvent(event);
}

} // namespace tavlin
