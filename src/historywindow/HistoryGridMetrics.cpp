#include "HistoryGridMetrics.h"

#include "FirstLines.h"
#include "HistoryRowContent.h"
#include "SystemFont.h"
#include "TextCharacters.h"

#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <cmath>

namespace tavlin {

namespace {

bool hasAttachment(const QTextDocument& document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat())
                return true;
        }
    }
    return false;
}

} // namespace

HistoryGridMetrics::Measurement HistoryGridMetrics::Measurement::of(const Clip& clip, const RecordPresentation& shown)
{
    // The text a card shows, already cut to RecordPresentation::textCharacters, is what it measures.
    Measurement measurement;
    const bool code = shown.code;
    const std::optional<ClipRowPresentation>& presentation = shown.row;
    measurement.font = code ? SystemFont::monospaced(12) : SystemFont::regular(15);
    measurement.lineHeight = code ? 15 : 18;
    measurement.text = shown.text;
    const bool attachment = shown.rich && hasAttachment(*shown.rich);
    measurement.rich = shown.rich;
    const bool fileLike = clip.kind == ClipKind::file || clip.kind == ClipKind::other;
    if (clip.kind == ClipKind::image || attachment)
        measurement.fixedHeight = 190;
    else if (fileLike)
        measurement.fixedHeight = presentation && presentation->preview.kind == ClipPreview::Case::image ? 176 : 136;
    else if (clip.kind == ClipKind::link)
        measurement.fixedHeight = TextCharacters::count(shown.text, 81) > 80 ? 160 : 136;
    measurement.inset = clip.kind == ClipKind::richText || code ? 16 : 0;
    return measurement;
}

qreal HistoryGridMetrics::measureText(const Measurement& measurement, qreal width)
{
    if (measurement.rich) {
        std::unique_ptr<QTextDocument> document(measurement.rich->clone());
        document->setTextWidth(width);
        return document->size().height();
    }
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Five lines are all a card shows; further lines cannot change its height.
    const FirstLines first(HistoryRowContent::withLineSeparators(measurement.text), measurement.font, option, width,
                           lineLimit + 1);
    const qreal leading = QFontMetricsF(measurement.font).leading();
    qreal height = 0;
    for (int line = 0; line < first.lineCount(); ++line)
        height += first.lineAt(line).height() + qMax<qreal>(leading, 0);
    return height;
}

int HistoryGridMetrics::columns(qreal width, std::optional<qreal> containerWidth)
{
    const qreal container = containerWidth.value_or(width);
    const int a = int(std::floor(qMax<qreal>(container - margin, 0) / pitch));
    const int b = int(std::floor(qMax<qreal>(width - 4 + gap, 0) / pitch));
    return qMin(qMax(b, 1), qMax(a, 1));
}

static void sides(qreal width, int columns, qreal& side, qreal& left)
{
    const qreal edge = (width - HistoryGridMetrics::baseWidth * columns - HistoryGridMetrics::gap * (columns - 1)) / 2;
    if (edge < HistoryGridMetrics::margin) {
        left = qMax(edge, HistoryGridMetrics::tightMargin);
        side = 2 * left;
    } else {
        left = HistoryGridMetrics::margin;
        side = 2 * HistoryGridMetrics::margin;
    }
}

qreal HistoryGridMetrics::cardWidth(qreal width, int columns)
{
    qreal side = 0, left = 0;
    sides(width, columns, side, left);
    return qMax((width - side - gap * (columns - 1)) / columns, qreal(1));
}

qreal HistoryGridMetrics::leftMargin(qreal width, int columns)
{
    qreal side = 0, left = 0;
    sides(width, columns, side, left);
    return left;
}

qreal HistoryGridMetrics::height(const Measurement& measurement, qreal cardWidth, const TextMeasurer& measurer)
{
    if (measurement.fixedHeight)
        return *measurement.fixedHeight;
    const qreal textWidth = qMax(cardWidth - 32 - measurement.inset, qreal(1));
    const qreal text = qMin(measurer(measurement, textWidth), lineLimit * measurement.lineHeight);
    return qBound(minimumHeight, std::ceil(measurement.inset + text + 75), defaultHeight);
}

int HistoryGridMetrics::arrowTarget(Qt::Key key, int current, int columns, int count)
{
    switch (key) {
    case Qt::Key_Left: return current % columns >= 1 ? current - 1 : current;
    case Qt::Key_Right: return current % columns < columns - 1 ? qMin(current + 1, count - 1) : current;
    case Qt::Key_Down: return current / columns < (count - 1) / columns ? qMin(current + columns, count - 1) : current;
    case Qt::Key_Up: return current >= columns ? current - columns : current;
    default: return current;
    }
}

} // namespace tavlin
