#include "HistoryCardFlowLayout.h"

#include "HistoryGridMetrics.h"

#include <algorithm>

namespace tavlin {

void HistoryCardFlowLayout::prepare(int count, qreal width, std::optional<qreal> containerWidth, qreal visibleHeight,
                                    const SizeForItem& sizeForItem)
{
    columns_ = HistoryGridMetrics::columns(width, containerWidth);
    const qreal cardWidth = HistoryGridMetrics::cardWidth(width, columns_);
    const qreal left = HistoryGridMetrics::leftMargin(width, columns_);
    cards_.clear();
    cards_.reserve(count);
    qreal y = HistoryGridMetrics::margin;
    for (int first = 0; first < count; first += columns_) {
        qreal rowHeight = 0;
        for (int item = first; item < qMin(first + columns_, count); ++item) {
            const QSizeF size = sizeForItem(item, cardWidth);
            const qreal x = left + (size.width() + HistoryGridMetrics::gap) * (item - first);
            cards_.append(QRectF(QPointF(x, y), size));
            rowHeight = qMax(rowHeight, size.height());
        }
        y += rowHeight + HistoryGridMetrics::gap;
    }
    contentSize_ = QSizeF(width, qMax(y, visibleHeight));
}

QList<int> HistoryCardFlowLayout::itemsIn(const QRectF& rect) const
{
    QList<int> items;
    for (int item = 0; item < cards_.size(); ++item) {
        if (cards_[item].intersects(rect))
            items.append(item);
    }
    return items;
}

int HistoryCardFlowLayout::itemAt(const QPointF& point) const
{
    const auto found = std::find_if(cards_.cbegin(), cards_.cend(),
                                    [&](const QRectF& card) { return card.contains(point); });
    return found == cards_.cend() ? -1 : int(found - cards_.cbegin());
}

} // namespace tavlin
