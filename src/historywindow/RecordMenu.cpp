#include "RecordMenu.h"

#include <QAbstractItemView>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>

namespace tavlin {

QMenu* RecordMenu::build(const Clip& clip, Resolve resolve, const RecordCallbacks& callbacks, QWidget* parent)
{
    auto* menu = new QMenu(QCoreApplication::translate("RecordMenu", "Record"), parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setAccessibleName(menu->title()); // a pop-up menu's title is not its accessible name
    // A menu is a window of its own: without this it keeps the application's light colours
    // over a dark history window.
    menu->setAttribute(Qt::WA_WindowPropagation);
    const auto add = [&](const QString& title, int tag, std::function<void(const Clip&, int)> act) {
        QAction* action = menu->addAction(title);
        action->setData(QVariantList{QVariant::fromValue(clip.id), tag});
        QObject::connect(action, &QAction::triggered, menu, [resolve, act, id = clip.id, tag] {
            if (const std::optional<Clip> record = resolve(id))
                act(*record, tag);
        });
    };
    add(QCoreApplication::translate("RecordMenu", "Copy"), 0, [callbacks](const Clip& record, int) {
        callbacks.onSelect(record.id);
        callbacks.onCopy(record);
    });
    add(clip.isFavorite ? QCoreApplication::translate("RecordMenu", "Remove from Favorites")
                        : QCoreApplication::translate("RecordMenu", "Add to Favorites"),
        clip.isFavorite ? 0 : 1,
        [callbacks](const Clip& record, int tag) { callbacks.onFavoriteChange(record, tag == 1); });
    if (clip.source)
        add(QCoreApplication::translate("RecordMenu", "Copies from This App"), 0,
            [callbacks](const Clip& record, int) { callbacks.onFilterSource(record); });
    menu->addSeparator();
    add(QCoreApplication::translate("RecordMenu", "Delete"), 0,
        [callbacks](const Clip& record, int) { callbacks.onDelete(record); });
    return menu;
}

void RecordMenu::open(QAbstractItemView& view, Listed listed, const RecordCallbacks& callbacks,
                      const QContextMenuEvent& event, const std::function<void(int row)>& select)
{
    const QList<Clip>& clips = listed();
    const bool keyboard = event.reason() == QContextMenuEvent::Keyboard;
    const QModelIndexList selected = view.selectionModel()->selectedIndexes();
    const QModelIndex index = keyboard ? (selected.isEmpty() ? QModelIndex() : selected.first())
                                       : view.indexAt(event.pos());
    if (!index.isValid() || index.row() >= clips.size())
        return;
    const Clip clip = clips[index.row()];
    const QPoint where = keyboard ? view.viewport()->mapToGlobal(view.visualRect(index).center()) : event.globalPos();
    select(index.row());
    // Owned by the window, whose colours it takes: the views' own are transparent.
    build(
        clip, [listed](qint64 id) { return find(listed(), id); }, callbacks, view.window())
        ->popup(where);
}

std::optional<Clip> RecordMenu::find(const QList<Clip>& clips, qint64 id)
{
    for (const Clip& clip : clips) {
        if (clip.id == id)
            return clip;
    }
    return std::nullopt;
}

} // namespace tavlin
