#include "QuickPanelRow.h"

#include "CardMetadata.h"
#include "FirstLines.h"
#include "QuickPanelState.h"
#include "RecordListModel.h"
#include "RoundedShape.h"
#include "ScaledImage.h"
#include "SourceApplicationIcon.h"
#include "SymbolIcon.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace tavlin {

QuickPanelRow::QuickPanelRow(const RecordListModel& model, const QuickPanelState& state, QObject* parent)
    : QStyledItemDelegate(parent), model_(model), state_(state)
{
}

void QuickPanelRow::paintRow(QPainter& painter, const QRectF& rect, const Clip& clip, const RecordPresentation& shown,
                             bool selected, const Appearance& appearance) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF surface = rect.adjusted(0, 1, 0, -1);
    RoundedShape::fill(painter, surface, 10,
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
    const QImage& thumbnail = shown.image;
    if (!thumbnail.isNull()) {
        const QSizeF filled = QSizeF(thumbnail.size()).scaled(box.size(), Qt::KeepAspectRatioByExpanding);
        ScaledImage::draw(painter, QRectF(box.center() - QPointF(filled.width() / 2, filled.height() / 2), filled),
                          thumbnail);
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

    const QFont summaryFont = shown.code ? SystemFont::monospaced(13) : SystemFont::regular(13);
    const QFontMetricsF summaryMetrics(summaryFont);
    const QFont metaFont = SystemFont::regular(10);
    const QFontMetricsF metaMetrics(metaFont);
    const qreal blockHeight = summaryMetrics.height() + 4 + std::max<qreal>(12, metaMetrics.height());
    const qreal top = content.center().y() - blockHeight / 2;

    painter.setFont(summaryFont);
    painter.setPen(TavlinTheme::primaryText.resolve(appearance));
    painter.drawText(QRectF(left, top, width, summaryMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     FirstLines::elided(shown.summary, summaryFont, Qt::ElideRight, width));

    // The meta line: source icon, source name, a dot, the footer.
    const QRectF meta(left, top + summaryMetrics.height() + 4, width, std::max<qreal>(12, metaMetrics.height()));
    const std::shared_ptr<const SourceApplicationIcon::Value> source = model_.sources().resolve(clip.source, clip.kind);
    const QRectF iconFrame(meta.left(), meta.center().y() - 6, 12, 12);
    source->paint(painter, iconFrame.adjusted(2.1, 2.1, -2.1, -2.1), secondary);
    painter.setFont(metaFont);
    painter.setPen(secondary);
    const QString footer = CardMetadata::footer(shown.row ? std::optional(shown.row->metadata) : std::nullopt,
                                                clip.kind);
    const QString dot = QStringLiteral("·");
    qreal x = iconFrame.right() + 4;
    const qreal available = meta.right() - x;
    const qreal fixed = metaMetrics.horizontalAdvance(dot) + 8;
    // The name gives way first, down to a short stub, then the footer.
    const qreal footerWidth = std::min(metaMetrics.horizontalAdvance(footer),
                                       std::max<qreal>(0, available - fixed - 40));
    const QString name = metaMetrics.elidedText(source->name, Qt::ElideRight,
                                                std::max<qreal>(0, available - fixed - footerWidth));
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
    const std::optional<Clip> clip = model_.clip(index);
    if (!clip)
        return;
    paintRow(*painter, option.rect, *clip, model_.presentation(index.row()), state_.selectedID() == clip->id,
             ThemeAppearance::of(option.widget));
}

QSize QuickPanelRow::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!model_.clip(index))
        return {};
    return {option.rect.width(), height};
}

bool QuickPanelRow::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                              const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString tip = model_.clip(index) ? model_.presentation(index.row()).tooltip : QString();
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPos(), tip, view);
    return true;
}

} // namespace tavlin
