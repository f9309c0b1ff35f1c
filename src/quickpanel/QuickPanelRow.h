#pragma once

#include "Appearance.h"
#include "Clip.h"

#include <QStyledItemDelegate>

namespace tavlin {

class QuickPanelState;
class RecordListModel;
struct RecordPresentation;

// Paints one record of the Quick Panel list in its 50-pixel row: the kind symbol or thumbnail,
// a one-line summary, the source application and the record's size or kind, and a star for
// favourites. All of it comes made from the records model; the selection from the state.
class QuickPanelRow : public QStyledItemDelegate {
    Q_OBJECT

public:
    static constexpr int height = 50;

    QuickPanelRow(const RecordListModel& model, const QuickPanelState& state, QObject* parent = nullptr);

    void paintRow(QPainter& painter, const QRectF& rect, const Clip& clip, const RecordPresentation& shown,
                  bool selected, const Appearance& appearance) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

private:
    const RecordListModel& model_;
    const QuickPanelState& state_;
};

} // namespace tavlin
