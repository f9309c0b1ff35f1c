#pragma once

#include <QItemSelectionModel>

class QAbstractItemView;

namespace tavlin {

// Makes an item a view's current and only selected one without scrolling to it. A view scrolls
// to every new current item by itself; a selection mirrored from elsewhere, or a click on an item
// already in sight, must leave the scroll position where the user put it.
void selectWithoutScrolling(QAbstractItemView& view, const QModelIndex& index,
                            QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect);

} // namespace tavlin
