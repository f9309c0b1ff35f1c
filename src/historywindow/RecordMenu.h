#pragma once

#include "Clip.h"

#include <QList>

#include <functional>
#include <optional>

class QAbstractItemView;
class QContextMenuEvent;
class QMenu;
class QWidget;

namespace tavlin {

// What the records views do with a record; the window's root view supplies each.
struct RecordCallbacks {
    std::function<void(std::optional<qint64>)> onSelect = [](std::optional<qint64>) {};
    std::function<void(const Clip&)> onCopy = [](const Clip&) {};
    std::function<void(const Clip&)> onDelete = [](const Clip&) {};
    std::function<void(const Clip&, bool)> onFavoriteChange = [](const Clip&, bool) {};
    std::function<void(const Clip&)> onFilterSource = [](const Clip&) {};
};

// The one "Record" menu of a listed record, for the list and the grid alike. Its entries carry
// the record's id and find the record again when chosen, among the records listed then: an
// entry chosen after the record left the listing does nothing.
struct RecordMenu {
    using Resolve = std::function<std::optional<Clip>(qint64 id)>;
    static QMenu* build(const Clip& clip, Resolve resolve, const RecordCallbacks& callbacks, QWidget* parent);
    // Opens the menu for a context-menu event on a records view: the record under the pointer,
    // or from the keyboard (the Menu key) the selected one, under it. `select` makes the record
    // the selection first. No record there: no menu.
    // `listed` gives the records listed at each moment.
    using Listed = std::function<const QList<Clip>&()>;
    static void open(QAbstractItemView& view, Listed listed, const RecordCallbacks& callbacks,
                     const QContextMenuEvent& event, const std::function<void(int row)>& select);
    // The record an entry stands for, among `clips`.
    static std::optional<Clip> find(const QList<Clip>& clips, qint64 id);
};

} // namespace tavlin
