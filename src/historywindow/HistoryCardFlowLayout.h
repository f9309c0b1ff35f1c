#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>

#include <functional>
#include <optional>

namespace tavlin {

// Packs the cards of the history grid into rows: every card of a row starts at the row's top,
// the tallest sets the row's height, and the rows sit 12 apart. Pure: sizes come from a callback.
class HistoryCardFlowLayout {
public:
    // The size of card `item` when cards are `cardWidth` wide.
    using SizeForItem = std::function<QSizeF(int item, qreal cardWidth)>;

    // W: the content width; C: the visible width; the content is at least `visibleHeight` high.
    void prepare(int count, qreal width, std::optional<qreal> containerWidth, qreal visibleHeight,
                 const SizeForItem& sizeForItem);

    const QList<QRectF>& cards() const { return cards_; }
    QSizeF contentSize() const { return contentSize_; }
    int columns() const { return columns_; }
    // The cards that meet the rectangle, in item order.
    QList<int> itemsIn(const QRectF& rect) const;
    // The card under a point, or -1 between and below the cards.
    int itemAt(const QPointF& point) const;

private:
    QList<QRectF> cards_;
    QSizeF contentSize_;
    int columns_ = 1;
};

} // namespace tavlin
