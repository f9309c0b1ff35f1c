#include "HistoryListView.h"

#include "ClipContentView.h"
#include "ConfirmationAnimation.h"
#include "HistoryControls.h"
#include "HistoryRowContent.h"
#include "QuietSelection.h"
#include "RecordAges.h"
#include "RecordListModel.h"
#include "RecordsAccessibility.h"
#include "RoundedShape.h"
#include "SourceApplicationIcon.h"
#include "TavlinTheme.h"
#include "TextCharacters.h"
#include "ThemeAppearance.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>

namespace tavlin {

bool isCopyKey(const QKeyEvent* event)
{
    return event->key() == Qt::Key_C && (event->modifiers() & Qt::ControlModifier);
}

bool recordsViewEvent(QAbstractItemView& view, QEvent* event)
{
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
        view.viewport()->update();
    if (event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason)
            view.scrollTo(view.currentIndex());
    }
    if (event->type() != QEvent::ShortcutOverride || !isCopyKey(static_cast<QKeyEvent*>(event)))
        return false;
    event->accept();
    return true;
}

void RecordPainter::paint(QPainter& painter, const QRectF& bounds, int row, const Clip& clip, bool compact,
                          const Appearance& appearance, const QDateTime& now, const QRegion& exposed) const
{
    HistoryRowContent::Input input;
    input.clip = clip;
    input.shown = records.presentation(row);
    input.source = records.sources().resolve(clip.source, clip.kind);
    input.icons = &records.sources();
    input.compact = compact;
    input.confirmation = confirmation.state(clip.id);
    input.feedbackShape = compact ? CopyConfirmationShape::listRow : CopyConfirmationShape::card;
    input.appearance = appearance;
    input.now = now;
    input.excerpts = &excerpts;
    input.exposed = exposed;
    HistoryRowContent::paint(painter, bounds, input);
    ages.drawn(clip.id, clip.createdAt, now);
}

HistoryRowDelegate::HistoryRowDelegate(RecordListModel& records, const ConfirmationAnimation& confirmation,
                                       RecordAges& ages, QObject* parent)
    : QStyledItemDelegate(parent), records_{records, confirmation, ages, excerpts_}
{
}

int HistoryRowDelegate::rowHeight(HistoryViewMode mode, const std::optional<Clip>& clip)
{
    if (mode == HistoryViewMode::list) {
        if (!clip)
            return 56;
        return clip->kind == ClipKind::richText || clip->kind == ClipKind::image || clip->kind == ClipKind::file ? 64
                                                                                                                 : 56;
    }
    if (!clip)
        return 112;
    if (clip->kind == ClipKind::image || clip->kind == ClipKind::file)
        return 176;
    if (clip->kind == ClipKind::richText)
        return 144;
    const QString text = ClipContentView::displayText(*clip);
    if (TextCharacters::count(text, 161) > 160)
        return 144;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0x0A || u == 0x0B || u == 0x0C || u == 0x0D || u == 0x85 || u == 0x2028 || u == 0x2029)
            return 144;
    }
    return 112;
}

QSize HistoryRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return {option.rect.width(), rowHeight(HistoryViewMode::list, records_.records.clip(index.row()))};
}

void HistoryRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const std::optional<Clip> clip = records_.records.clip(index.row());
    if (!clip)
        return;
    const auto* view = qobject_cast<const QWidget*>(option.widget);
    const Appearance appearance = ThemeAppearance::of(view);
    const QRectF shape = QRectF(option.rect).adjusted(7, 2, -7, -2);
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    RoundedShape::fill(*painter, shape, 10, TavlinTheme::surfaceColor.resolve(appearance));
    if (option.state & QStyle::State_MouseOver && !selected)
        RoundedShape::fill(*painter, shape, 10, TavlinTheme::hoverColor.resolve(appearance));
    const auto stroke = [&](const QColor& color, qreal width) {
        RoundedShape::strokeInside(*painter, shape, 10, color, width);
    };
    stroke(TavlinTheme::borderColor.resolve(appearance), 0.75);
    if (selected) {
        RoundedShape::fill(*painter, shape, 10, TavlinTheme::selectedColor.resolve(appearance));
        const bool focused = view && view->hasFocus();
        if (appearance.highContrast)
            stroke(TavlinTheme::focusColor.resolve(appearance), 2.0);
        else if (focused)
            stroke(TavlinTheme::focusColor.resolve(appearance), 1.5);
        else
            stroke(TavlinTheme::selectedOutlineColor.resolve(appearance), 1.0);
    }
    painter->restore();
    // An instant is all an age needs: no time zone looked up for every row painted.
    records_.paint(*painter, option.rect, index.row(), *clip, true, appearance, QDateTime::currentDateTimeUtc(),
                   exposed_);
}

HistoryListView::HistoryListView(RecordListModel& records, QWidget* parent)
    : QListView(parent), records_(records), rows_(nullptr),
      confirmation_(new ConfirmationAnimation(records.copyFeedback(), this)), ages_(new RecordAges(this))
{
    RecordsAccessibility::describe(this);
    setObjectName(QStringLiteral("history-list"));
    setModel(&records);
    rows_ = new HistoryRowDelegate(records, *confirmation_, *ages_, this);
    setItemDelegate(rows_);
    // Applications' icons decoded on a worker appear in the rows that wait for them.
    connect(&records.sources(), &SourceApplicationIcon::iconsArrived, viewport(), qOverload<>(&QWidget::update));
    // A confirmation coming or going repaints its own row alone, an age moving on its own place.
    connect(confirmation_, &ConfirmationAnimation::changed, this, [this](qint64 id) { updateRecords({id}); });
    connect(ages_, &RecordAges::changed, this, [this](qint64 id, const QString& before, const QString& after) {
        if (const int row = records_.rowOf(id); row >= 0) {
            const QRectF change = HistoryRowContent::ageChangeRect(visualRect(records_.index(row)), true, before,
                                                                   after);
            viewport()->update(change.toAlignedRect());
        }
    });
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUniformItemSizes(false);
    setSpacing(0);
    setFrameShape(QFrame::NoFrame);
    setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    setAutoFillBackground(false);
    clearBackground(this);
}

void HistoryListView::setSelectedID(std::optional<qint64> id)
{
    if (!id || records_.clips().isEmpty())
        return;
    const int row = records_.rowOf(*id);
    if (row < 0 || (currentIndex().row() == row && selectionModel()->isSelected(currentIndex())))
        return;
    syncing_ = true;
    selectWithoutScrolling(*this, records_.index(row));
    syncing_ = false;
}

void HistoryListView::updateRecords(const QList<qint64>& ids)
{
    for (qint64 id : ids) {
        if (const int row = records_.rowOf(id); row >= 0)
            viewport()->update(visualRect(records_.index(row)));
    }
}

QRect HistoryListView::confirmationBadgeRect(const QModelIndex& index) const
{
    return HistoryRowContent::badgeRect(visualRect(index), true).toAlignedRect();
}

std::optional<qint64> HistoryListView::selectedID() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return std::nullopt;
    const std::optional<Clip> clip = records_.clip(selected.first().row());
    return clip ? std::optional(clip->id) : std::nullopt;
}

// A list view tells assistive technology of its current row even while it lacks the keyboard (as
// when the Apps popover's filter takes records away behind it), and numbers the rows as they stood
// before a removal: the records are told by row, and the focus only while the list has it.
void HistoryListView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QAbstractItemView::currentChanged(current, previous);
    RecordsAccessibility::focusCurrent(this);
}

void HistoryListView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QAbstractItemView::selectionChanged(selected, deselected);
    RecordsAccessibility::selectionChanged(this);
    if (syncing_ || selected.indexes().isEmpty())
        return;
    if (const std::optional<Clip> clip = records_.clip(selected.indexes().first().row()))
        callbacks.onSelect(clip->id);
}

void HistoryListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles)
{
    // A row is as high as its record's kind makes it, and a record keeps its kind: what changes
    // repaints its own row, where the list's own handling would lay out and repaint every row.
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
}

void HistoryListView::copySelected()
{
    if (const std::optional<qint64> id = selectedID()) {
        if (const std::optional<Clip> clip = records_.clip(records_.rowOf(*id)))
            callbacks.onCopy(*clip);
    }
}

void HistoryListView::paintEvent(QPaintEvent* event)
{
    rows_->setExposed(event->region());
    QListView::paintEvent(event);
    rows_->setExposed({});
}

bool HistoryListView::event(QEvent* event)
{
    return recordsViewEvent(*this, event) || QListView::event(event);
}

void HistoryListView::keyPressEvent(QKeyEvent* event)
{
    if (isCopyKey(event)) {
        copySelected();
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void HistoryListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    std::optional<Clip> clip = index.isValid() ? records_.clip(index.row()) : std::nullopt;
    if (!clip && selectedID())
        clip = records_.clip(records_.rowOf(*selectedID()));
    if (!clip)
        return;
    callbacks.onSelect(clip->id);
    callbacks.onCopy(*clip);
}

void HistoryListView::contextMenuEvent(QContextMenuEvent* event)
{
    RecordListModel* records = &records_;
    RecordMenu::open(
        *this, [records]() -> const QList<Clip>& { return records->clips(); }, callbacks, *event,
        [this](int row) { selectWithoutScrolling(*this, records_.index(row)); });
}

} // namespace tavlin
