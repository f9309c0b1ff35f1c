#include "FirstLines.h"

#include <QFontMetricsF>

namespace tavlin {

namespace {

// About how many UTF-16 units fill a line: the average character's width covers most texts at
// once, and a text of narrower characters grows the part laid out.
qsizetype unitsPerLine(const QFont& font, qreal width)
{
    return qsizetype(width / qMax<qreal>(1, QFontMetricsF(font).averageCharWidth())) + 1;
}

QList<QTextLayout::FormatRange> within(const QList<QTextLayout::FormatRange>& formats, qsizetype length)
{
    QList<QTextLayout::FormatRange> kept;
    for (QTextLayout::FormatRange range : formats) {
        if (range.start >= length)
            continue;
        range.length = int(qMin<qsizetype>(range.length, length - range.start));
        kept.append(range);
    }
    return kept;
}

} // namespace

FirstLines::FirstLines(const QString& text, const QFont& font, const QTextOption& option, qreal width, int count,
                       const QList<QTextLayout::FormatRange>& formats)
{
    qsizetype length = qMin(text.size(), (count + 1) * unitsPerLine(font, width) + reach);
    for (;;) {
        layout_ = std::make_unique<QTextLayout>(text.left(length), font);
        layout_->setTextOption(option);
        layout_->setFormats(within(formats, length));
        // Drawing would shape the lines again otherwise.
        layout_->setCacheEnabled(true);
        layout_->beginLayout();
        qreal y = 0;
        bool settled = true;
        for (int lines = 0; lines < count; ++lines) {
            QTextLine line = layout_->createLine();
            if (!line.isValid()) {
                settled = false;
                break;
            }
            line.setLineWidth(width);
            line.setPosition(QPointF(0, y));
            y += line.height();
            // A line that does not wrap and is wider than the width is cut where it shows anyway.
            const bool cut = option.wrapMode() == QTextOption::NoWrap && line.naturalTextWidth() > width;
            settled = settled && (cut || line.textStart() + line.textLength() + reach <= length);
        }
        layout_->endLayout();
        if (settled || length == text.size())
            return;
        length = qMin(text.size(), 2 * length);
    }
}

QString FirstLines::elided(QStringView text, const QFont& font, Qt::TextElideMode mode, qreal width)
{
    const QFontMetricsF metrics(font);
    // Elided in the middle or at its start, the end of the text shows.
    qsizetype length = mode == Qt::ElideRight ? 2 * unitsPerLine(font, width) + reach : text.size();
    for (;;) {
        length = qMin(length, text.size());
        const QString part = text.left(length).toString().replace(u'\n', u' ');
        const QString shown = metrics.elidedText(part, mode, width);
        // Cut well before the part's end, the whole text is cut at the same place.
        if (length == text.size() || (shown != part && shown.size() - 1 + reach <= length))
            return shown;
        length *= 2;
    }
}

} // namespace tavlin
