#include "ClipSnippetView.h"

#include "ClipTextSnippet.h"
#include "RoundedShape.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "TextCharacters.h"
#include "ThemeAppearance.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextCursor>
#include <QTextLayout>

namespace tavlin {

ClipSnippetView::ClipSnippetView(const QString& text, int maximumLines, int maximumCharacters, int plainFontSize,
                                 QWidget* parent)
    : DocumentView(parent), text_(text), maximumCharacters_(maximumCharacters), plainFontSize_(plainFontSize)
{
    setSelectable(false);
    setMaximumLines(qMax(1, maximumLines));
    build();
}

void ClipSnippetView::changeEvent(QEvent* event)
{
    DocumentView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        build();
}

void ClipSnippetView::build()
{
    const Appearance appearance = ThemeAppearance::of(this);
    const HighlightedText excerpt = ClipTextSnippet::highlighted(text_, maximumCharacters_);
    code_ = excerpt.code;
    document()->clear();
    document()->setDefaultFont(code_ ? HighlightedText::codeFont() : SystemFont::regular(plainFontSize_));
    QTextCursor cursor(document());
    excerpt.insert(cursor, appearance);
    if (code_) {
        setSurface(TavlinTheme::elevatedSurface, codeRadius);
        setPadding(codePadding);
    } else {
        setSurface(std::nullopt);
        setPadding(QMarginsF());
    }
}

void ClipSnippetView::paintCode(QPainter& painter, const QRectF& area, const HighlightedText& excerpt, int maximumLines,
                                const Appearance& appearance)
{
    const QRectF inner = area.marginsRemoved(codePadding);
    if (inner.width() <= 0 || inner.height() <= 0)
        return;
    const QFont font = HighlightedText::codeFont();
    QTextLayout layout(TextCharacters::withLineSeparators(excerpt.text), font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTextDirection(Qt::LeftToRight);
    layout.setTextOption(option);
    layout.setFormats(excerpt.formats(appearance));
    layout.beginLayout();
    qreal height = 0;
    QList<QTextLine> lines;
    while (lines.size() < maximumLines) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(inner.width());
        line.setPosition(QPointF(0, height));
        if (height + line.height() > inner.height() && !lines.isEmpty())
            break;
        height += line.height();
        lines.append(line);
    }
    layout.endLayout();

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF surface(area.left(), area.top(), area.width(), height + codePadding.top() + codePadding.bottom());
    RoundedShape::fill(painter, surface, codeRadius, TavlinTheme::elevatedSurface.resolve(appearance));
    painter.setClipRect(inner);
    painter.setFont(font);
    painter.setPen(TavlinTheme::primaryText.resolve(appearance));
    for (int i = 0; i < lines.size(); ++i) {
        const QTextLine& line = lines[i];
        const bool more = line.textStart() + line.textLength() < excerpt.text.size();
        if (i == lines.size() - 1 && more) {
            // The cut shows: the rest of the excerpt on the last line, ending in an ellipsis.
            const QString rest = excerpt.text.mid(line.textStart()).replace(QLatin1Char('\n'), QLatin1Char(' '));
            painter.drawText(QRectF(inner.left(), inner.top() + line.y(), inner.width(), line.height()),
                             Qt::AlignLeft | Qt::AlignVCenter,
                             QFontMetricsF(font).elidedText(rest, Qt::ElideRight, inner.width()));
        } else {
            line.draw(&painter, inner.topLeft());
        }
    }
    painter.restore();
}

} // namespace tavlin
