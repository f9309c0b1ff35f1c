#include "HistoryCollectionView.h"

#include "ConfirmationAnimation.h"
#include "HistoryControls.h"
#include "HistoryListView.h"
#include "HistoryRowContent.h"
#include "QuietSelection.h"
#include "RecordAges.h"
#include "RecordListModel.h"
#include "RecordsAccessibility.h"
#include "RoundedShape.h"
#include "SourceApplicationIcon.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace tavlin {

HistoryCollectionView::HistoryCollectionView(RecordListModel& records, QWidget* parent)
    : QAbstractItemView(parent), records_(records),
      confirmation_(new ConfirmationAnimation(records.copyFeedback(), this)), ages_(new RecordAges(this))
{
    RecordsAccessibility::describe(this);
    setObjectName(QStringLiteral("history-grid"));
    records.setIdentifierPrefix(QStringLiteral("history-card-"), true);
    setModel(&records);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFrameShape(QFrame::NoFrame);
    setMouseTracking(true);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(24);
    // Measurements are kept by record: new rows are measured, the others only placed anew.
    connect(&records, &QAbstractItemModel::modelReset, this, &HistoryCollectionView::invalidateLayout);
    connect(&records, &QAbstractItemModel::rowsInserted, this, &HistoryCollectionView::invalidateLayout);
    connect(&records, &QAbstractItemModel::rowsRemoved, this, &HistoryCollectionView::invalidateLayout);
    connect(&records, &QAbstractItemModel::rowsMoved, this, &HistoryCollectionView::invalidateLayout);
    connect(&records, &QAbstractItemModel::dataChanged, this, &HistoryCollectionView::recordsChanged);
    connect(&records, &RecordListModel::rowPresentationChanged, this, &HistoryCollectionView::presentationLoaded);
    // Applications' icons decoded on a worker appear in the cards that wait for them.
    connect(&records.sources(), &SourceApplicationIcon::iconsArrived, viewport(), qOverload<>(&QWidget::update));
    // A confirmation coming or going repaints its own card alone, an age moving on its own place.
    connect(confirmation_, &ConfirmationAnimation::changed, this,
            [this](qint64 id) { updateItem(records_.rowOf(id)); });
    connect(ages_, &RecordAges::changed, this, [this](qint64 id, const QString& before, const QString& after) {
        const int item = records_.rowOf(id);
        if (item < 0 || item >= layout_.cards().size())
            return;
        const QRectF card = layout_.cards()[item].translated(0, -verticalOffset());
        viewport()->update(HistoryRowContent::ageChangeRect(card, false, before, after).toAlignedRect());
    });
}

void HistoryCollectionView::updateItem(int item)
{
    if (item >= 0)
        viewport()->update(visualRect(records_.index(item)));
}

void HistoryCollectionView::forgetMeasurements()
{
    geometry_.clear();
}

void HistoryCollectionView::recordsChanged(const QModelIndex& first, const QModelIndex& last)
{
    // An edited record (a favourite's star) may measure differently; a confirmation only repaints.
    for (int item = first.row(); item <= last.row(); ++item) {
        const std::optional<Clip> clip = records_.clip(item);
        const auto found = clip ? geometry_.constFind(clip->id) : geometry_.cend();
        if (found != geometry_.cend() && found->clip != *clip) {
            scheduleRelayout();
            return;
        }
        updateItem(item);
    }
}

void HistoryCollectionView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end)
{
    for (int item = start; item <= end; ++item) {
        if (const std::optional<Clip> clip = records_.clip(item))
            geometry_.remove(clip->id);
    }
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
}

QSizeF HistoryCollectionView::sizeForItem(int item, qreal width)
{
    const std::optional<Clip> clip = records_.clip(item);
    if (!clip)
        return {width, HistoryGridMetrics::defaultHeight};
    auto found = geometry_.find(clip->id);
    if (found != geometry_.end() && found->clip == *clip) {
        if (found->width != width) {
            QList<QSizeF>& earlier = found->earlier;
            const auto kept = std::find_if(earlier.begin(), earlier.end(),
                                           [width](QSizeF size) { return size.width() == width; });
            const qreal height = kept != earlier.end()
                ? kept->height()
                : HistoryGridMetrics::height(found->measurement, width, measurer);
            if (kept != earlier.end())
                earlier.erase(kept);
            earlier.prepend({found->width, found->height});
            constexpr qsizetype widthsKept = 3;
            earlier.resize(qMin(earlier.size(), widthsKept));
            found->width = width;
            found->height = height;
        }
        return {width, found->height};
    }
    Geometry geometry{*clip, HistoryGridMetrics::Measurement::of(*clip, records_.presentation(item, false)), width, 0};
    geometry.height = HistoryGridMetrics::height(geometry.measurement, width, measurer);
    geometry_.insert(clip->id, geometry);
    return {width, geometry.height};
}

void HistoryCollectionView::presentationLoaded(qint64 id)
{
    const int row = records_.rowOf(id);
    const std::optional<ClipRowPresentation> presentation = records_.storedRow(row);
    const std::optional<Clip> clip = records_.clip(row);
    if (!clip || !presentation)
        return;
    const int columns = HistoryGridMetrics::columns(viewport()->width(), width());
    const qreal cardWidth = HistoryGridMetrics::cardWidth(viewport()->width(), columns);
    Geometry geometry{*clip, HistoryGridMetrics::Measurement::of(*clip, records_.presentation(row, false)), cardWidth,
                      0};
    geometry.height = HistoryGridMetrics::height(geometry.measurement, cardWidth, measurer);
    const auto old = geometry_.constFind(id);
    const bool same = old != geometry_.cend() && old->height == geometry.height;
    geometry_.insert(id, geometry);
    if (!same)
        scheduleRelayout();
}

void HistoryCollectionView::scheduleRelayout()
{
    if (reflowPending_)
        return;
    reflowPending_ = true;
    // Loads that finish in the same turn share one re-flow.
    QTimer::singleShot(0, this, [this] {
        reflowPending_ = false;
        invalidateLayout();
    });
}

void HistoryCollectionView::invalidateLayout()
{
    dirty_ = true;
    updateGeometries();
    viewport()->update();
}

void HistoryCollectionView::ensureLaid() const
{
    if (!dirty_)
        return;
    dirty_ = false;
    auto* self = const_cast<HistoryCollectionView*>(this);
    ++self->relayouts_;
    layout_.prepare(records_.rowCount(), viewport()->width(), width(), viewport()->height(),
                    [self](int item, qreal cardWidth) { return self->sizeForItem(item, cardWidth); });
}

void HistoryCollectionView::updateGeometries()
{
    ensureLaid();
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, qMax(0, int(std::ceil(layout_.contentSize().height())) - viewport()->height()));
    QAbstractItemView::updateGeometries();
}

void HistoryCollectionView::resizeEvent(QResizeEvent* event)
{
    const int oldWidth = layout_.contentSize().width();
    QAbstractItemView::resizeEvent(event);
    // Only a change of width re-flows; height changes only stretch the scrollable area.
    if (viewport()->width() != oldWidth)
        dirty_ = true;
    updateGeometries();
}

int HistoryCollectionView::verticalOffset() const
{
    return verticalScrollBar()->value();
}

QRect HistoryCollectionView::visualRect(const QModelIndex& index) const
{
    ensureLaid();
    if (!index.isValid() || index.row() >= layout_.cards().size())
        return {};
    return layout_.cards()[index.row()].toAlignedRect().translated(0, -verticalOffset());
}

QModelIndex HistoryCollectionView::indexAt(const QPoint& point) const
{
    ensureLaid();
    const int item = layout_.itemAt(QPointF(point) + QPointF(0, verticalOffset()));
    return item < 0 ? QModelIndex() : records_.index(item);
}

void HistoryCollectionView::scrollTo(const QModelIndex& index, ScrollHint)
{
    const QRect rect = visualRect(index);
    if (rect.isEmpty())
        return;
    if (rect.top() < 0)
        verticalScrollBar()->setValue(verticalOffset() + rect.top() - int(HistoryGridMetrics::gap));
    else if (rect.bottom() > viewport()->height())
        verticalScrollBar()->setValue(verticalOffset() + rect.bottom() - viewport()->height()
                                      + int(HistoryGridMetrics::gap));
}

QModelIndex HistoryCollectionView::moveCursor(CursorAction, Qt::KeyboardModifiers)
{
    return currentIndex();
}

void HistoryCollectionView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags)
{
    const QModelIndex index = indexAt(rect.topLeft());
    if (index.isValid())
        selectionModel()->select(index, flags);
}

QRegion HistoryCollectionView::visualRegionForSelection(const QItemSelection& selection) const
{
    QRegion region;
    for (const QModelIndex& index : selection.indexes())
        region += visualRect(index);
    return region;
}

void HistoryCollectionView::setSelectedID(std::optional<qint64> id)
{
    const int row = id ? records_.rowOf(*id) : -1;
    if (row < 0) {
        syncing_ = true;
        selectionModel()->clearSelection();
        syncing_ = false;
        return;
    }
    if (selectedItem() == row)
        return;
    syncing_ = true;
    selectWithoutScrolling(*this, records_.index(row));
    syncing_ = false;
}

void HistoryCollectionView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QAbstractItemView::selectionChanged(selected, deselected);
    // A selection made here (click, keys, menu, assistive technology) is reported; one mirrored
    // from the window is not.
    if (syncing_ || selected.indexes().isEmpty())
        return;
    if (const std::optional<Clip> clip = records_.clip(selected.indexes().first().row()))
        callbacks.onSelect(clip->id);
}

std::optional<int> HistoryCollectionView::selectedItem() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? std::nullopt : std::optional(selected.first().row());
}

QRect HistoryCollectionView::confirmationBadgeRect(const QModelIndex& index) const
{
    return HistoryRowContent::badgeRect(visualRect(index), false).toAlignedRect();
}

std::optional<qint64> HistoryCollectionView::selectedID() const
{
    const std::optional<int> item = selectedItem();
    const std::optional<Clip> clip = item ? records_.clip(*item) : std::nullopt;
    return clip ? std::optional(clip->id) : std::nullopt;
}

void HistoryCollectionView::selectItem(int item, bool scroll)
{
    const std::optional<Clip> clip = records_.clip(item);
    if (!clip)
        return;
    if (selectedItem() == item)
        callbacks.onSelect(clip->id);
    else
        selectWithoutScrolling(*this, records_.index(item));
    if (scroll)
        scrollTo(records_.index(item));
}

void HistoryCollectionView::copySelected()
{
    if (const std::optional<int> item = selectedItem()) {
        if (const std::optional<Clip> clip = records_.clip(*item))
            callbacks.onCopy(*clip);
    }
}

bool HistoryCollectionView::event(QEvent* event)
{
    return recordsViewEvent(*this, event) || QAbstractItemView::event(event);
}

void HistoryCollectionView::keyPressEvent(QKeyEvent* event)
{
    if (isCopyKey(event) || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        copySelected();
        event->accept();
        return;
    }
    const auto key = Qt::Key(event->key());
    if (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Up && key != Qt::Key_Down) {
        QAbstractItemView::keyPressEvent(event);
        return;
    }
    event->accept();
    const int count = records_.rowCount();
    if (count < 1)
        return;
    ensureLaid();
    const std::optional<int> current = selectedItem();
    selectItem(current ? HistoryGridMetrics::arrowTarget(key, *current, columnCount(), count) : 0, true);
}

void HistoryCollectionView::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    const QModelIndex index = indexAt(event->position().toPoint());
    // Between and below the cards a click only takes the focus: no rubber band, no deselection.
    if (!index.isValid())
        return;
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
        selectItem(index.row(), false);
}

void HistoryCollectionView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || event->button() != Qt::LeftButton)
        return;
    selectItem(index.row(), false);
    if (const std::optional<Clip> clip = records_.clip(index.row()))
        callbacks.onCopy(*clip);
}

void HistoryCollectionView::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}

void HistoryCollectionView::mouseMoveEvent(QMouseEvent* event)
{
    const int item = indexAt(event->position().toPoint()).row();
    if (item != hovered_) {
        hovered_ = item;
        viewport()->update();
    }
}

void HistoryCollectionView::leaveEvent(QEvent* event)
{
    QAbstractItemView::leaveEvent(event);
    hovered_ = -1;
    viewport()->update();
}

void HistoryCollectionView::contextMenuEvent(QContextMenuEvent* event)
{
    RecordListModel* records = &records_;
    RecordMenu::open(
        *this, [records]() -> const QList<Clip>& { return records->clips(); }, callbacks, *event,
        [this](int row) { selectItem(row, false); });
}

void HistoryCollectionView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QAbstractItemView::currentChanged(current, previous);
    // As a list view does: the screen reader follows the arrows from card to card.
    RecordsAccessibility::focusCurrent(this);
}

QPixmap HistoryCollectionView::surface(QSizeF size, bool selected, bool hovered, bool focused,
                                       const Appearance& appearance)
{
    // Cards share their width and a handful of heights: each look is drawn once and reused.
    const qreal ratio = devicePixelRatioF();
    const QString key = QStringLiteral("%1x%2:%3%4%5%6%7:%8")
                            .arg(size.width())
                            .arg(size.height())
                            .arg(selected)
                            .arg(hovered)
                            .arg(focused)
                            .arg(appearance.dark)
                            .arg(appearance.highContrast)
                            .arg(ratio);
    if (const auto found = surfaces_.constFind(key); found != surfaces_.cend())
        return *found;
    if (surfaces_.size() > 64)
        surfaces_.clear();
    QPixmap pixmap((size * ratio).toSize());
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool contrast = appearance.highContrast;
    const QRectF shape = QRectF(QPointF(0, 0), size).adjusted(1, 1, -1, -1);
    if (!contrast && !hovered)
        RoundedShape::fill(painter, shape.translated(0, 1).adjusted(-1, -1, 1, 1), 21, QColor(0, 0, 0, 11));
    RoundedShape::fill(painter, shape, 20,
                       (selected ? TavlinTheme::gridSelectedColor : TavlinTheme::surfaceColor).resolve(appearance));
    if (hovered && !selected)
        RoundedShape::fill(painter, shape, 20, TavlinTheme::hoverColor.resolve(appearance));
    const auto stroke = [&](const QColor& color, qreal width) {
        RoundedShape::strokeInside(painter, shape, 20, color, width);
    };
    if (focused)
        stroke(TavlinTheme::focusColor.resolve(appearance), contrast ? 3 : 2);
    else if (contrast)
        stroke(TavlinTheme::labelColor.resolve(appearance), 1.5);
    else
        stroke(TavlinTheme::borderColor.resolve(appearance), 0.5);
    if (selected && !focused && !contrast)
        stroke(TavlinTheme::selectedOutlineColor.resolve(appearance), 1);
    painter.end();
    return *surfaces_.insert(key, pixmap);
}

void HistoryCollectionView::paintEvent(QPaintEvent* event)
{
    ensureLaid();
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    const Appearance appearance = ThemeAppearance::of(this);
    const std::optional<int> selected = selectedItem();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const RecordPainter cards{records_, *confirmation_, *ages_, excerpts_};
    const QRectF visible = QRectF(event->rect()).translated(0, verticalOffset());
    const QRegion exposed = event->region().translated(0, verticalOffset());
    painter.translate(0, -verticalOffset());
    for (int item : layout_.itemsIn(visible)) {
        const std::optional<Clip> clip = records_.clip(item);
        if (!clip)
            continue;
        const QRectF bounds = layout_.cards()[item];
        const bool isSelected = selected == item;
        const bool focused = isSelected && hasFocus();
        painter.drawPixmap(bounds.topLeft(), surface(bounds.size(), isSelected, hovered_ == item, focused, appearance));
        cards.paint(painter, bounds, item, *clip, false, appearance, now, exposed);
    }
}

} // namespace tavlin
