#include "QuietSelection.h"

#include <QAbstractItemView>

namespace tavlin {

void selectWithoutScrolling(QAbstractItemView& view, const QModelIndex& index,
                            QItemSelectionModel::SelectionFlags flags)
{
    // The view scrolls from its current-changed handler, and only while auto-scroll is on; a
    // hidden view remembers to scroll when shown, also only while it is on.
    const bool autoScroll = view.hasAutoScroll();
    view.setAutoScroll(false);
    view.selectionModel()->setCurrentIndex(index, flags);
    view.setAutoScroll(autoScroll);
}

} // namespace tavlin
