#pragma once

#include "Appearance.h"
#include "Clip.h"
#include "HistoryCardFlowLayout.h"
#include "HistoryGridMetrics.h"
#include "HistoryRowContent.h"
#include "RecordMenu.h"
#include "RecordsAccessibility.h"

#include <QAbstractItemView>
#include <QHash>
#include <QPixmap>
#include <QSizeF>

#include <optional>

namespace tavlin {

class ConfirmationAnimation;
class RecordAges;
class RecordListModel;

// The records as a grid of painted cards ("history-grid"); each card is an item of the view's
// model, named "history-card-<id>" there. Click selects, double click, Return, keypad Enter and
// Ctrl+C copy, the arrows move within the rows without wrapping, the context menu is the
// "Record" menu. Card heights are measured once per record and width and kept until the record
// or its presentation changes; finished presentation loads re-flow the grid at most once per
// turn of the event loop. The copy confirmation shows on the card of the record copied; the
// records model's copy feedback is set before the view is made.
class HistoryCollectionView : public QAbstractItemView, public ConfirmationBadgePlace {
    Q_OBJECT
public:
    // One record's measured card.
    struct Geometry {
        Clip clip;
        HistoryGridMetrics::Measurement measurement;
        qreal width = 0;
        qreal height = 0;
        // The heights at the widths measured before, latest first: the grid goes back and forth
        // between widths as the preview or the scroll bar shows and hides.
        QList<QSizeF> earlier;
    };

    explicit HistoryCollectionView(RecordListModel& records, QWidget* parent = nullptr);

    QRect confirmationBadgeRect(const QModelIndex& index) const override;

    RecordCallbacks callbacks;
    // Replaceable for tests: the text height a card's measurement gives at a width.
    HistoryGridMetrics::TextMeasurer measurer = HistoryGridMetrics::measureText;

    // Drops every card's measurement: the next layout measures all anew.
    void forgetMeasurements();
    void setSelectedID(std::optional<qint64> id);
    std::optional<qint64> selectedID() const;
    int columnCount() const { return layout_.columns(); }
    const HistoryCardFlowLayout& cardLayout() const { return layout_; }
    // Lays the cards out again, measuring only what the cache lacks.
    void invalidateLayout();
    // Lays the cards out now, when a re-flow is due.
    void ensureLaid() const;
    // Selects an item, reports it and, when asked, scrolls it into view.
    void selectItem(int item, bool scroll);
    int relayoutCount() const { return relayouts_; }

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override { return 0; }
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex&) const override { return false; }
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QSizeF sizeForItem(int item, qreal width);
    void scheduleRelayout();
    void presentationLoaded(qint64 id);
    void recordsChanged(const QModelIndex& first, const QModelIndex& last);
    void updateItem(int item);
    void copySelected();
    // A card's rounded surface with its shadow, fill and outline for a state.
    QPixmap surface(QSizeF size, bool selected, bool hovered, bool focused, const Appearance& appearance);
    std::optional<int> selectedItem() const;

    RecordListModel& records_;
    ConfirmationAnimation* confirmation_;
    RecordAges* ages_;
    mutable HistoryCardFlowLayout layout_;
    mutable bool dirty_ = true;
    bool reflowPending_ = false;
    bool syncing_ = false;
    int hovered_ = -1;
    int relayouts_ = 0;
    QHash<qint64, Geometry> geometry_;
    QHash<QString, QPixmap> surfaces_;
    HistoryRowContent::Excerpts excerpts_;
};

} // namespace tavlin
