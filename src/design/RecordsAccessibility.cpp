#include "RecordsAccessibility.h"

#include "CopyConfirmationBadge.h"
#include "ReaderPace.h"
#include "RecordListModel.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QHash>
#include <QItemSelectionModel>
#include <QPointer>
#include <QTimer>

namespace tavlin {

namespace {

// Whether the keys act on the view's current record: the view has the keyboard, or it never takes
// it and is moved by the keys of its active window (the Quick Panel's list, led by its search field).
bool hasKeys(const QAbstractItemView* view)
{
    return view->hasFocus() || (view->focusPolicy() == Qt::NoFocus && view->isVisible() && view->isActiveWindow());
}

// The "Copied" badge of a confirmed record: one element, named and identified, inside its cell.
// Its identifier is the record's confirmation, read through the user text.
class ConfirmationBadge : public QAccessibleInterface {
public:
    explicit ConfirmationBadge(QAccessibleInterface* cell) : cell_(QAccessible::uniqueId(cell)) { }

    QAccessibleInterface* cell() const { return QAccessible::accessibleInterface(cell_); }
    QModelIndex index() const;
    QString identifier() const { return index().data(RecordListModel::ConfirmationRole).toString(); }

    bool isValid() const override { return cell() && cell()->isValid() && !identifier().isEmpty(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return cell() ? cell()->window() : nullptr; }
    QAccessibleInterface* parent() const override { return cell(); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    void setText(QAccessible::Text, const QString&) override { }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return CopyConfirmationBadge::text();
        return t == QAccessible::UserText ? identifier() : QString();
    }
    QRect rect() const override;
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.readOnly = true;
        state.offscreen = !cell() || cell()->state().offscreen;
        return state;
    }

private:
    QAccessible::Id cell_;
};

class RecordCell : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    RecordCell(QAbstractItemView* view, int row) : view_(view), row_(row) { }
    ~RecordCell() override
    {
        if (badge_)
            QAccessible::deleteAccessibleInterface(badge_);
    }

    QAbstractItemView* view() const { return view_; }
    bool isValid() const override { return view_ && row_ < view_->model()->rowCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(view_); }
    // While its copy is confirmed, the record's badge.
    QAccessibleInterface* child(int index) const override
    {
        if (index != 0 || childCount() == 0)
            return nullptr;
        if (!badge_) {
            auto* badge = new ConfirmationBadge(const_cast<RecordCell*>(this));
            QAccessible::registerAccessibleInterface(badge);
            badge_ = QAccessible::uniqueId(badge);
        }
        return QAccessible::accessibleInterface(badge_);
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        QAccessibleInterface* badge = child(0);
        return badge && badge->rect().contains(x, y) ? badge : nullptr;
    }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    int childCount() const override { return index().data(RecordListModel::ConfirmationRole).isNull() ? 0 : 1; }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && badge_ && child == QAccessible::accessibleInterface(badge_) ? 0 : -1;
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    void setText(QAccessible::Text, const QString&) override { }
    QModelIndex index() const { return view_ ? view_->model()->index(row_, 0) : QModelIndex(); }
    QString text(QAccessible::Text t) const override
    {
        // Only the name: a screen reader speaks a description after it, and the cell's identifier
        // is for tests, not for people.
        if (t == QAccessible::Name)
            return index().data(RecordListModel::LabelRole).toString();
        return {};
    }
    QRect rect() const override
    {
        if (!view_)
            return {};
        const QRect local = view_->visualRect(index());
        return QRect(view_->viewport()->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.selectable = true;
        state.focusable = true;
        // A row or card scrolled out of the viewport is there, but not showing; in a hidden view
        // none is.
        if (view_ && (!view_->isVisible() || !view_->viewport()->rect().intersects(view_->visualRect(index()))))
            state.offscreen = true;
        if (view_ && view_->selectionModel()->isSelected(index())) {
            state.selected = true;
            state.focused = hasKeys(view_);
        }
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name != pressAction() || !isValid())
            return;
        if (view_->focusPolicy() != Qt::NoFocus)
            view_->setFocus();
        view_->selectionModel()->setCurrentIndex(index(), QItemSelectionModel::ClearAndSelect);
        view_->scrollTo(index());
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QAbstractItemView> view_;
    int row_;
    mutable QAccessible::Id badge_ = 0;
};

QModelIndex ConfirmationBadge::index() const
{
    const auto* cell = static_cast<const RecordCell*>(this->cell());
    return cell ? cell->index() : QModelIndex();
}

QRect ConfirmationBadge::rect() const
{
    const auto* cell = static_cast<const RecordCell*>(this->cell());
    QAbstractItemView* view = cell ? cell->view() : nullptr;
    const auto* place = dynamic_cast<const ConfirmationBadgePlace*>(view);
    if (!place)
        return {};
    const QRect local = place->confirmationBadgeRect(cell->index());
    return QRect(view->viewport()->mapToGlobal(local.topLeft()), local.size());
}

class RecordsView : public QAccessibleWidget {
public:
    explicit RecordsView(QAbstractItemView* view) : QAccessibleWidget(view, QAccessible::List)
    {
        const QAbstractItemModel* model = view->model();
        const auto clear = [this] { clearCells(); };
        QObject::connect(model, &QAbstractItemModel::modelReset, view, clear);
        QObject::connect(model, &QAbstractItemModel::rowsInserted, view, clear);
        QObject::connect(model, &QAbstractItemModel::rowsRemoved, view, clear);
        QObject::connect(model, &QAbstractItemModel::rowsMoved, view, clear);
    }
    ~RecordsView() override { clearCells(); }

    // None once the view is being destroyed: it is then a plain widget.
    QAbstractItemView* view() const { return qobject_cast<QAbstractItemView*>(widget()); }
    int childCount() const override { return view() && view()->model() ? view()->model()->rowCount() : 0; }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        auto found = cells_.constFind(index);
        if (found == cells_.cend()) {
            auto* cell = new RecordCell(view(), index);
            QAccessible::registerAccessibleInterface(cell);
            found = cells_.insert(index, QAccessible::uniqueId(cell));
        }
        return QAccessible::accessibleInterface(*found);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (auto it = cells_.cbegin(); it != cells_.cend(); ++it) {
            if (QAccessible::accessibleInterface(*it) == child)
                return it.key();
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        if (!view())
            return nullptr;
        const QModelIndex index = view()->indexAt(view()->viewport()->mapFromGlobal(QPoint(x, y)));
        return index.isValid() ? child(index.row()) : nullptr;
    }
    // A list led by its window's search field has the keys as its highlighted record has them, and
    // says so: a screen reader that looks for the focused item under the list, as Orca does for each
    // record it speaks when the list offers no selection, then stops at the list instead of asking
    // every record of it.
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (view() && hasKeys(view()))
            state.focused = true;
        return state;
    }
    QAccessibleInterface* focusChild() const override
    {
        if (!view() || !view()->selectionModel())
            return nullptr;
        const QModelIndexList selected = view()->selectionModel()->selectedIndexes();
        return selected.isEmpty() ? nullptr : child(selected.first().row());
    }

private:
    void clearCells()
    {
        for (QAccessible::Id id : std::as_const(cells_))
            QAccessible::deleteAccessibleInterface(id);
        cells_.clear();
    }

    mutable QHash<int, QAccessible::Id> cells_;
};

const char* const recordsProperty = "tavlinRecordsView";

// What a screen reader is told of a view's moves, at a steady pace: the record the keys are on and
// which one is selected, as they stand at each telling, never the records passed over.
class MoveTelling : public QObject {
public:
    explicit MoveTelling(QAbstractItemView* view)
        : QObject(view), view_(view), pace_(new ReaderPace(ReaderPace::Mode::steady, this))
    {
        connect(pace_, &ReaderPace::due, this, &MoveTelling::tell);
        holdLimit_.setSingleShot(true);
        connect(&holdLimit_, &QTimer::timeout, this, &MoveTelling::release);
    }

    static MoveTelling& of(QAbstractItemView* view)
    {
        for (QObject* child : view->children()) {
            if (auto* telling = dynamic_cast<MoveTelling*>(child))
                return *telling;
        }
        return *new MoveTelling(view);
    }

    void moved(bool focus)
    {
        focusWanted_ = focusWanted_ || focus;
        pace_->changed();
    }

    void hold()
    {
        held_ = true;
        holdLimit_.start(RecordsAccessibility::holdLimit);
    }

    void release()
    {
        if (!std::exchange(held_, false))
            return;
        holdLimit_.stop();
        moved(true);
    }

private:
    void tell()
    {
        if (!QAccessible::isActive() || !view_->model() || !view_->selectionModel())
            return;
        const QModelIndexList selected = view_->selectionModel()->selectedIndexes();
        const int selectedRow = selected.isEmpty() ? -1 : selected.first().row();
        // A record told selected that no longer is, so that a reader's own record of it is not left
        // behind; then the one that is. The bridge reads each one's state as it tells it.
        const int told = std::exchange(toldSelected_, selectedRow);
        if (told >= 0 && told != selectedRow && told < view_->model()->rowCount())
            tellRow(QAccessible::SelectionRemove, told);
        if (selectedRow >= 0 && selectedRow != told)
            tellRow(QAccessible::SelectionAdd, selectedRow);
        if (held_)
            return;
        const QModelIndex current = view_->currentIndex();
        if (std::exchange(focusWanted_, false) && hasKeys(view_) && current.isValid())
            tellRow(QAccessible::Focus, current.row());
    }

    void tellRow(QAccessible::Event type, int row)
    {
        QAccessibleEvent event(view_, type);
        event.setChild(row);
        QAccessible::updateAccessibility(&event);
    }

    QAbstractItemView* view_;
    ReaderPace* pace_;
    bool focusWanted_ = false;
    int toldSelected_ = -1;
    bool held_ = false;
    QTimer holdLimit_;
};

// When the keyboard comes into a view of records, the screen reader is told that it is on the
// current record, after it was told of the view itself (Qt tells of the view's own focus once the
// focus event has been handled): it then says the record the keys act on, not just the list's name.
class CurrentRecordFocus : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* view = qobject_cast<QAbstractItemView*>(watched);
        if (view && event->type() == QEvent::FocusIn)
            RecordsAccessibility::focusCurrent(view);
        return false;
    }
};

QAccessibleInterface* factory(const QString&, QObject* object)
{
    // Qt asks for a widget's interface from its destructor too, when the view is no more than a
    // widget: that one gets the widget's plain interface.
    if (object && object->property(recordsProperty).toBool()) {
        if (auto* view = qobject_cast<QAbstractItemView*>(object))
            return new RecordsView(view);
    }
    return nullptr;
}

} // namespace

void RecordsAccessibility::describe(QAbstractItemView* view)
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
    view->setProperty(recordsProperty, true);
    view->installEventFilter(new CurrentRecordFocus(view));
    MoveTelling::of(view);
}

void RecordsAccessibility::focusCurrent(QAbstractItemView* view)
{
    if (QAccessible::isActive())
        MoveTelling::of(view).moved(true);
}

void RecordsAccessibility::holdFocus(QAbstractItemView* view)
{
    MoveTelling::of(view).hold();
}

void RecordsAccessibility::releaseFocus(QAbstractItemView* view)
{
    MoveTelling::of(view).release();
}

void RecordsAccessibility::selectionChanged(QAbstractItemView* view)
{
    if (QAccessible::isActive())
        MoveTelling::of(view).moved(false);
}

} // namespace tavlin
