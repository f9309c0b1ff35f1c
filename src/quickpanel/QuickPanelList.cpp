#include "QuickPanelList.h"

#include "QuickPanelRow.h"
#include "QuickPanelState.h"
#include "QuietSelection.h"
#include "RecordListModel.h"
#include "RecordsAccessibility.h"
#include "SourceApplicationIcon.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>

namespace tavlin {

QuickPanelList::QuickPanelList(QuickPanelState& state, const SourceApplicationIcon& sources,
                               std::function<void(const Clip&)> copy, QWidget* parent)
    : QTableView(parent), state_(state), copy_(std::move(copy)), model_(new RecordListModel(sources, this))
{
    setObjectName(QStringLiteral("quick-panel-list"));
    RecordsAccessibility::describe(this);
    setFocusPolicy(Qt::NoFocus);
    setModel(model_);
    const QPointer<QuickPanelState> weakState(&state);
    // A row shown without its presentation has the state load it; the state's rows flow back in.
    model_->setLoader([weakState](Clip clip) -> QCoro::Task<std::optional<ClipRowPresentation>> {
        if (weakState) {
            QCoro::Task<> loading = weakState->loadRow(clip);
            co_await std::move(loading);
        }
        if (!weakState || !weakState->rows().contains(clip.id))
            co_return std::nullopt;
        co_return weakState->rows().value(clip.id);
    });
    row_ = new QuickPanelRow(*model_, state, this);
    // Applications' icons decoded on a worker appear in the rows that wait for them.
    connect(&model_->sources(), &SourceApplicationIcon::iconsArrived, viewport(), qOverload<>(&QWidget::update));
    setItemDelegate(row_);
    horizontalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(QuickPanelRow::height);
    setShowGrid(false);
    setFrameShape(QFrame::NoFrame);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMouseTracking(false);
    setAttribute(Qt::WA_TranslucentBackground);
    viewport()->setAutoFillBackground(false);
    // The rows paint their own selection.
    QPalette colors = palette();
    colors.setColor(QPalette::Highlight, Qt::transparent);
    setPalette(colors);

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
        if (syncing_)
            return;
        if (const std::optional<Clip> clip = model_->clip(current)) {
            followedRow_ = current.row(); // where the user put it: nothing to scroll to
            state_.setSelectedID(clip->id);
        }
    });
    for (auto changed :
         {&QuickPanelState::clipsChanged, &QuickPanelState::rowsChanged, &QuickPanelState::selectedIDChanged})
        connect(&state, changed, this, &QuickPanelList::follow);
    follow();
}

void QuickPanelList::follow()
{
    syncing_ = true;
    rebuilding_ = true;
    model_->setRecords(state_.clips());
    rebuilding_ = false;
    model_->setRows(state_.rows());
    int selected = -1;
    for (int i = 0; i < state_.clips().size(); ++i) {
        if (state_.selectedID() == state_.clips()[i].id) {
            selected = i;
            break;
        }
    }
    // Only a moved selection scrolls: one moved by the keys, or one that a new page put elsewhere
    // (a search that hid the selected record selects the first match, wherever the list was).
    // The table's own selection does not say where it was: rows that go hand it to a neighbour
    // (a single-selection view keeps one row selected) and rows that come carry it along.
    const bool moved = selected >= 0 && selected != followedRow_;
    if (selected >= 0 && (moved || currentIndex().row() != selected || !selectionModel()->isRowSelected(selected)))
        selectRow(selected);
    if (moved) {
        // The rows' new extent first, or the scroll stops where the old rows ended.
        executeDelayedItemsLayout();
        scrollTo(model_->index(selected, 0));
    }
    followedRow_ = selected;
    syncing_ = false;
    // Told once the rows are settled: the current row that the table moves while rows go names a
    // cell that is gone by the time a screen reader asks for it.
    if (moved)
        RecordsAccessibility::focusCurrent(this);
    viewport()->update();
}

void QuickPanelList::selectRow(int row)
{
    // Only the state's moves scroll (follow): a click on a row in sight, even one partly hidden,
    // leaves the list where it is.
    selectWithoutScrolling(*this, model_->index(row, 0),
                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void QuickPanelList::copyClickedRow(int row)
{
    if (const std::optional<Clip> clip = model_->clip(row))
        copy_(*clip);
}

void QuickPanelList::mousePressEvent(QMouseEvent* event)
{
    const int row = rowAt(event->position().toPoint().y());
    if (model_->clip(row))
        selectRow(row);
    event->accept();
}

void QuickPanelList::mouseDoubleClickEvent(QMouseEvent* event)
{
    const int row = rowAt(event->position().toPoint().y());
    if (!model_->clip(row))
        return;
    selectRow(row);
    copyClickedRow(row);
    event->accept();
}

void QuickPanelList::mouseMoveEvent(QMouseEvent* event)
{
    event->accept(); // no drag selection
}

void QuickPanelList::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}

void QuickPanelList::keyPressEvent(QKeyEvent* event)
{
    event->ignore(); // the search field has the keys
}

// A table tells assistive technology of its cells as a grid with a header row and column; its
// accessible interface is a plain list of records, one a row, so the records are told by row.
void QuickPanelList::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QAbstractItemView::currentChanged(current, previous);
    if (!syncing_) // else told when the list has followed the state
        RecordsAccessibility::focusCurrent(this);
}

void QuickPanelList::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QAbstractItemView::selectionChanged(selected, deselected);
    if (!rebuilding_) // rows about to go are no cells to tell of
        RecordsAccessibility::selectionChanged(this);
}

} // namespace tavlin
