#include "QuickPanelRow.h"

#include "CardMetadata.h"
#include "ClipContentView.h"
#include "ClipKindLabel.h"
#include "ClipTextSnippet.h"
#include "QuickPanelListModel.h"
#include "RoundedShape.h"
#include "SourceApplicationIcon.h"
#include "SymbolIcon.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "TextCharacters.h"
#include "ThemeAppearance.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QTextBoundaryFinder>

namespace tavlin {

namespace {

bool isLineBreak(QChar first)
{
    const char16_t c = first.unicode();
    return c == 0x0A || c == 0x0B || c == 0x0C || c == 0x0D || c == 0x85 || c == 0x2028 || c == 0x2029;
}

bool isLoneOpening(QStringView line)
{
    // Spaces and tabs around it, as the whitespace character set counts them (no line breaks).
    qsizetype start = 0;
    qsizetype end = line.size();
    while (start < end && line[start].isSpace())
        ++start;
    while (end > start && line[end - 1].isSpace())
        --end;
    const QStringView trimmed = line.mid(start, end - start);
    return trimmed == u"{" || trimmed == u"[";
}

} // namespace

QuickPanelRow::QuickPanelRow(const QuickPanelListModel& model, QObject* parent)
    : QStyledItemDelegate(parent), model_(model)
{
}

QString QuickPanelRow::summary(const Clip& clip, const std::optional<ClipRowPresentation>& presentation)
{
    if (presentation && !presentation->metadata.fileNames.isEmpty())
        return presentation->metadata.fileNames.first();
    const QString text = ClipContentView::displayText(clip);
    const QStringView head = QStringView(text).left(TextCharacters::prefixLength(text, summaryCharacters));
    // Lines split at every break character; CR LF is one character and so one break.
    QList<QStringView> lines;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, head.data(), head.size());
    qsizetype lineStart = 0;
    qsizetype position = 0;
    while (position < head.size()) {
        qsizetype next = characters.toNextBoundary();
        if (next < 0)
            next = head.size();
        if (isLineBreak(head[position])) {
            if (position > lineStart)
                lines.append(head.mid(lineStart, position - lineStart));
            lineStart = next;
        }
        position = next;
    }
    if (head.size() > lineStart)
        lines.append(head.mid(lineStart));
    if (lines.isEmpty())
        return QString();
    for (const QStringView line : lines) {
        if (!isLoneOpening(line))
            return line.toString();
    }
    return lines.first().toString();
}

QString QuickPanelRow::tooltip(const Clip& clip)
{
    const QString text = ClipContentView::displayText(clip);
    return text.left(TextCharacters::prefixLength(text, tooltipCharacters));
}

QImage QuickPanelRow::decodeThumbnail(const std::optional<QByteArray>& bytes)
{
    if (!bytes || bytes->isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(*bytes);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > thumbnailLimit || size.height() > thumbnailLimit)
        return {};
    return reader.read();
}

void QuickPanelRow::paintRow(QPainter& painter, const QRectF& rect, const Clip& clip,
                             const std::optional<ClipRowPresentation>& presentation, const QString& summary,
                             const QImage& thumbnail, bool selected, const Appearance& appearance)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF surface = rect.adjusted(0, 1, 0, -1);
    RoundedShape::fill(painter, surface,  10,
                       (selected ? TavlinTheme::selectedBackground : TavlinTheme::contentSurface).resolve(appearance));
    if (selected)
        RoundedShape::strokeInside(painter, surface, 10, TavlinTheme::selectedOutline.resolve(appearance), 1);

    const QColor accent = TavlinTheme::brandAccent.resolve(appearance);
    const QColor secondary = TavlinTheme::secondaryText.resolve(appearance);
    const QRectF content = surface.adjusted(10, 0, -10, 0);

    // The icon box: a thumbnail filling it, else the kind's symbol.
    const QRectF box(content.left(), content.center().y() - 15, 30, 30);
    painter.save();
    const QPainterPath boxShape = RoundedShape::path(box, 8);
    painter.fillPath(boxShape, TavlinTheme::elevatedSurface.resolve(appearance));
    painter.setClipPath(boxShape);
    if (!thumbnail.isNull()) {
        const QSizeF filled = QSizeF(thumbnail.size()).scaled(box.size(), Qt::KeepAspectRatioByExpanding);
        painter.drawImage(QRectF(box.center() - QPointF(filled.width() / 2, filled.height() / 2), filled), thumbnail);
    } else {
        SymbolIcon::paint(painter, SymbolIcon::forKind(clip.kind), box.adjusted(7.5, 7.5, -7.5, -7.5), accent);
    }
    painter.restore();

    qreal right = content.right();
    if (clip.isFavorite) {
        const QRectF star(right - 9, content.center().y() - 4.5, 9, 9);
        SymbolIcon::paint(painter, QStringLiteral("star.fill"), star, accent);
        right = star.left() - 10;
    }
    const qreal left = box.right() + 10;
    const qreal width = std::max<qreal>(0, right - left);

    const QString text = ClipContentView::displayText(clip);
    const QFont summaryFont = ClipTextSnippet::isCode(text) ? SystemFont::monospaced(13) : SystemFont::regular(13);
    const QFontMetricsF summaryMetrics(summaryFont);
    const QFont metaFont = SystemFont::regular(10);
    const QFontMetricsF metaMetrics(metaFont);
    const qreal blockHeight = summaryMetrics.height() + 4 + std::max<qreal>(12, metaMetrics.height());
    const qreal top = content.center().y() - blockHeight / 2;

    painter.setFont(summaryFont);
    painter.setPen(TavlinTheme::primaryText.resolve(appearance));
    painter.drawText(QRectF(left, top, width, summaryMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     summaryMetrics.elidedText(summary, Qt::ElideRight, width));

    // The meta line: source icon, source name, a dot, the footer.
    const QRectF meta(left, top + summaryMetrics.height() + 4, width, std::max<qreal>(12, metaMetrics.height()));
    const std::shared_ptr<const SourceApplicationIcon::Value> source = SourceApplicationIcon::resolve(clip.source, clip.kind);
    const QRectF iconFrame(meta.left(), meta.center().y() - 6, 12, 12);
    source->paint(painter, iconFrame.adjusted(2.1, 2.1, -2.1, -2.1), secondary);
    painter.setFont(metaFont);
    painter.setPen(secondary);
    const QString footer = CardMetadata::footer(presentation ? std::optional(presentation->metadata) : std::nullopt, clip.kind);
    const QString dot = QStringLiteral("·");
    qreal x = iconFrame.right() + 4;
    const qreal available = meta.right() - x;
    const qreal fixed = metaMetrics.horizontalAdvance(dot) + 8;
    // The name gives way first, down to a short stub, then the footer.
    const qreal footerWidth = std::min(metaMetrics.horizontalAdvance(footer), std::max<qreal>(0, available - fixed - 40));
    const QString name = metaMetrics.elidedText(source->name, Qt::ElideRight, std::max<qreal>(0, available - fixed - footerWidth));
    for (const QString& part : {name, dot, metaMetrics.elidedText(footer, Qt::ElideRight, footerWidth)}) {
        const qreal advance = metaMetrics.horizontalAdvance(part);
        painter.drawText(QRectF(x, meta.top(), advance + 1, meta.height()), Qt::AlignLeft | Qt::AlignVCenter, part);
        x += advance + 4;
    }
    painter.restore();
}

void QuickPanelRow::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    // An index may come from before the list changed: only a row that exists now is drawn.
    const std::optional<Clip> clip = model_.clipAt(index);
    if (!clip)
        return;
    const std::optional<ClipRowPresentation> presentation = model_.presentation(clip->id);
    if (!presentation)
        needsPresentation(*clip);
    paintRow(*painter, option.rect, *clip, presentation, model_.summary(*clip), model_.thumbnail(clip->id),
             model_.selectedID() == clip->id, ThemeAppearance::of(option.widget));
}

QSize QuickPanelRow::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!model_.clipAt(index))
        return {};
    return {option.rect.width(), height};
}

} // namespace tavlin
