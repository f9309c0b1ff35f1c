#pragma once

#include "HistoryRowContent.h"
#include "HistoryViewMode.h"
#include "RecordMenu.h"
#include "RecordsAccessibility.h"

#include <QDateTime>
#include <QListView>
#include <QStyledItemDelegate>

#include <optional>

namespace tavlin {

class ConfirmationAnimation;
class RecordAges;
class RecordListModel;

// Draws records as the list's rows and the grid's cards show them: with their presentation, source
// application, copy confirmation and age, noting the age drawn so that it is repainted when it
// reads otherwise.
struct RecordPainter {
    RecordListModel& records;
    const ConfirmationAnimation& confirmation;
    RecordAges& ages;
    // The view's own: what it drew of texts, kept for its next paints.
    HistoryRowContent::Excerpts& excerpts;

    // `exposed`: what the view repaints, in the painter's coordinates (empty: all of the record).
    void paint(QPainter& painter, const QRectF& bounds, int row, const Clip& clip, bool compact,
               const Appearance& appearance, const QDateTime& now, const QRegion& exposed = {}) const;
};

// Paints one list row: the rounded row surface with its hover and selection and the record's
// compact content.
class HistoryRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    HistoryRowDelegate(RecordListModel& records, const ConfirmationAnimation& confirmation, RecordAges& ages,
                       QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // A row's height: by kind alone in list mode, by kind and text in cards mode.
    static int rowHeight(HistoryViewMode mode, const std::optional<Clip>& clip);
    // What the view repaints while it paints, in its viewport's coordinates; empty otherwise, when
    // rows are drawn whole.
    void setExposed(const QRegion& exposed) { exposed_ = exposed; }

private:
    HistoryRowContent::Excerpts excerpts_;
    RecordPainter records_;
    QRegion exposed_;
};

// The records as a single-column list of compact rows beside the preview ("history-list").
// Double click copies, the context menu is the "Record" menu, Ctrl+C copies the selected
// record rather than its text. The copy confirmation shows on the row of the record copied; the
// records model's copy feedback is set before the view is made.
class HistoryListView : public QListView, public ConfirmationBadgePlace {
    Q_OBJECT
public:
    explicit HistoryListView(RecordListModel& records, QWidget* parent = nullptr);

    QRect confirmationBadgeRect(const QModelIndex& index) const override;

    RecordCallbacks callbacks;

    // Selects the record without scrolling to it and without reporting it back.
    void setSelectedID(std::optional<qint64> id);
    std::optional<qint64> selectedID() const;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void copySelected();
    void updateRecords(const QList<qint64>& ids);

    RecordListModel& records_;
    HistoryRowDelegate* rows_;
    ConfirmationAnimation* confirmation_;
    RecordAges* ages_;
    bool syncing_ = false;
};

// Ctrl+C by the key, never by the text: under a Russian layout Ctrl+С arrives as Key_C.
bool isCopyKey(const QKeyEvent* event);
// What the records views handle alike ahead of their own event handling: a selection repaints as
// the focus comes and goes, since its look follows the focus; the focus coming by keyboard brings
// the current record into view, wherever new records pushed it; and Ctrl+C is the view's own while
// it has the focus, ahead of any window shortcut (true: the event is taken).
bool recordsViewEvent(QAbstractItemView& view, QEvent* event);

} // namespace tavlin
