#pragma once

#include "Clip.h"

#include <QTableView>

#include <functional>

namespace tavlin {

class SourceApplicationIcon;

class QuickPanelRow;
class QuickPanelState;
class RecordListModel;

// The Quick Panel's records: one column of 50-pixel rows kept in step with the state in both
// directions. The state's records, presentations and selection flow into the list (scrolling only
// when the selection moves); a click selects, a double click copies. It never takes the keyboard:
// the search field keeps it.
class QuickPanelList : public QTableView {
    Q_OBJECT

public:
    QuickPanelList(QuickPanelState& state, const SourceApplicationIcon& sources, std::function<void(const Clip&)> copy,
                   QWidget* parent = nullptr);

    RecordListModel& listModel() const { return *model_; }
    // Copies the record in that row; rows that do not exist do nothing.
    void copyClickedRow(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

private:
    // Copies the state into the list; the list's own selection signals are not sent back meanwhile.
    void follow();
    void selectRow(int row);

    QuickPanelState& state_;
    std::function<void(const Clip&)> copy_;
    RecordListModel* model_;
    QuickPanelRow* row_;
    bool syncing_ = false;
    // While the model takes a new page.
    bool rebuilding_ = false;
    // The row the list last selected for the state's selection (-1: none).
    int followedRow_ = -1;
};

} // namespace tavlin
