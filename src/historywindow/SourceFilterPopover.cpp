#include "SourceFilterPopover.h"

#include "AssistiveRoles.h"
#include "HistoryBrowser.h"
#include "HistoryControls.h"
#include "KeyboardFocus.h"
#include "RoundedShape.h"
#include "SourceApplicationIcon.h"
#include "SymbolIcon.h"
#include "SystemFont.h"
#include "TavlinLanguage.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QAbstractListModel>
#include <QAccessible>
#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>

namespace tavlin {

// One row per source the history names, in the model's order; a row is checked while the
// filter selects its source, and checking it asks the history to toggle that source.
class SourceListModel : public QAbstractListModel {
public:
    enum Role { CountRole = Qt::UserRole + 1 };

    SourceListModel(HistoryBrowser& history, const SourceFilterPopover& popover, QObject* parent)
        : QAbstractListModel(parent), history_(history), popover_(popover), sources_(history.availableSources())
    {
    }

    void setSymbolColor(const QColor& color) { symbolColor_ = color; }

    // The filter changed: only the ticks change.
    void filterChanged()
    {
        if (!sources_.isEmpty())
            Q_EMIT dataChanged(index(0), index(int(sources_.size()) - 1), {Qt::CheckStateRole});
    }

    void sourcesChanged()
    {
        beginResetModel();
        sources_ = history_.availableSources();
        endResetModel();
    }

    int rowOf(const std::optional<QString>& bundleID) const
    {
        for (int row = 0; row < sources_.size(); ++row) {
            if (sources_[row].bundleID == bundleID)
                return row;
        }
        return -1;
    }

    std::optional<QString> bundleID(const QModelIndex& index) const { return sources_[index.row()].bundleID; }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(sources_.size()); }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable : Qt::NoItemFlags;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= sources_.size())
            return {};
        const ClipSourceSummary& source = sources_[index.row()];
        switch (role) {
        case Qt::DisplayRole: return popover_.sourceName(source.bundleID);
        case Qt::DecorationRole: return popover_.sourceImage(source.bundleID, symbolColor_);
        case Qt::CheckStateRole:
            return SourceFilterPopover::isChecked(history_.sourceFilter(), source.bundleID) ? Qt::Checked
                                                                                            : Qt::Unchecked;
        case Qt::ToolTipRole: return source.bundleID.value_or(SourceFilterPopover::tr("Unknown source"));
        case Qt::AccessibleDescriptionRole: return SourceFilterPopover::tr("Records: %n", nullptr, int(source.count));
        case CountRole: return localizedCount(source.count);
        default: return {};
        }
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (role != Qt::CheckStateRole || !index.isValid())
            return false;
        const bool requested = value.value<Qt::CheckState>() == Qt::Checked;
        if (requested != (data(index, Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked))
            history_.toggleSource(bundleID(index));
        return true;
    }

private:
    HistoryBrowser& history_;
    const SourceFilterPopover& popover_;
    QList<ClipSourceSummary> sources_;
    QColor symbolColor_;
};

namespace {

// Whether the list's last input was the keyboard: its current row then shows the focus ring.
const char* const keyboardProperty = "tavlinSourceKeyboard";

// A row: the check box, the application's icon and name, and its record count at the far end.
// The whole row is the check box's: a click anywhere on it, or Space, toggles it.
class SourceRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static constexpr int rowHeight = 30;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        return {option.rect.width(), rowHeight};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
        const Appearance appearance = ThemeAppearance::of(option.widget);
        const QRect row = option.rect;
        QStyleOptionButton box;
        box.initFrom(option.widget);
        box.rect = QRect(row.left(), row.center().y() - 7, 16, 16);
        box.state = QStyle::State_Enabled
            | (index.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked ? QStyle::State_On
                                                                                     : QStyle::State_Off);
        // The ring marks keyboard focus alone, as on every check box.
        if (view && view->hasFocus() && view->currentIndex() == index && view->property(keyboardProperty).toBool())
            box.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
        option.widget->style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, option.widget);

        const QRect icon(box.rect.right() + 1 + 8, row.center().y() - 10, 20, 20);
        index.data(Qt::DecorationRole).value<QIcon>().paint(painter, icon);

        const QFont font = SystemFont::regular(13);
        const QFontMetrics metrics(font);
        const QString count = index.data(SourceListModel::CountRole).toString();
        const int countWidth = metrics.horizontalAdvance(count);
        const QRect name(icon.right() + 1 + 8, row.top(), qMax(0, row.right() - countWidth - 8 - icon.right() - 8),
                         row.height());
        painter->save();
        painter->setFont(font);
        painter->setPen(TavlinTheme::primaryText.resolve(appearance));
        painter->drawText(name, Qt::AlignLeft | Qt::AlignVCenter,
                          metrics.elidedText(index.data().toString(), Qt::ElideMiddle, name.width()));
        painter->setPen(TavlinTheme::secondaryText.resolve(appearance));
        painter->drawText(QRect(row.right() - countWidth, row.top(), countWidth + 1, row.height()),
                          Qt::AlignRight | Qt::AlignVCenter, count);
        painter->restore();
    }

    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override
    {
        const auto toggle = [&] {
            const bool checked = index.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked;
            return model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
        };
        switch (event->type()) {
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            return mouse->button() == Qt::LeftButton && option.rect.contains(mouse->position().toPoint()) && toggle();
        }
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            return (key == Qt::Key_Space || key == Qt::Key_Select) && toggle();
        }
        default: return false;
        }
    }
};

} // namespace

SourceFilterPopover::SourceFilterPopover(HistoryBrowser& history, const SourceApplicationIcon& sources, QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint), history_(history), sources_(sources),
      ticked_(history.sourceFilter())
{
    AssistiveRoles::markWindow(this);
    setObjectName(QStringLiteral("source-filter-popover"));
    setAccessibleName(tr("Apps"));
    // A press on the filter button that closes the popup must not reach the button and open it again.
    setAttribute(Qt::WA_NoMouseReplay);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedWidth(popoverWidth);
    setFont(SystemFont::regular(13));
    const Appearance appearance = ThemeAppearance::of(parentWidget());
    setPalette(ThemeAppearance::palette(appearance));
    const QColor secondary = TavlinTheme::secondaryText.resolve(appearance);

    auto* content = new QVBoxLayout(this);
    content->setContentsMargins(14, 14, 14, 14);
    content->setSpacing(12);

    auto* titleRow = new QHBoxLayout;
    auto* title = new QLabel(tr("Apps"));
    title->setFont(SystemFont::regular(13, QFont::DemiBold));
    reset_ = new QPushButton(tr("Reset"));
    reset_->setObjectName(QStringLiteral("source-filter-reset"));
    reset_->setToolTip(tr("Show history from all apps"));
    reset_->setAutoDefault(false);
    connect(reset_, &QPushButton::clicked, this, [this] { history_.setSourceFilter(ClipSourceFilter::all()); });
    titleRow->addWidget(title);
    titleRow->addStretch(1);
    titleRow->addWidget(reset_);
    content->addLayout(titleRow);

    summary_ = new QLabel;
    summary_->setObjectName(QStringLiteral("source-filter-summary"));
    summary_->setFont(SystemFont::regular(11));
    QPalette secondaryPalette = summary_->palette();
    secondaryPalette.setColor(QPalette::WindowText, secondary);
    summary_->setPalette(secondaryPalette);
    content->addWidget(summary_);

    auto* divider = new QFrame;
    AssistiveRoles::markDecorative(divider);
    divider->setFixedHeight(1);
    divider->setFrameShape(QFrame::NoFrame);
    divider->setAutoFillBackground(true);
    QPalette line = divider->palette();
    line.setColor(QPalette::Window, TavlinTheme::borderColor.resolve(appearance));
    divider->setPalette(line);
    content->addWidget(divider);

    empty_ = new QLabel(tr("No apps in history"));
    empty_->setPalette(secondaryPalette);
    empty_->setContentsMargins(0, 8, 0, 8);
    content->addWidget(empty_);

    model_ = new SourceListModel(history, *this, this);
    model_->setSymbolColor(secondary);
    list_ = new QListView;
    list_->setObjectName(QStringLiteral("source-filter-list"));
    list_->setAccessibleName(tr("Apps"));
    list_->setModel(model_);
    list_->setItemDelegate(new SourceRowDelegate(list_));
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setFrameShape(QFrame::NoFrame);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    list_->setUniformItemSizes(true);
    clearBackground(list_);
    list_->installEventFilter(this);
    list_->viewport()->installEventFilter(this);
    content->addWidget(list_);

    // Applications' icons decoded on a worker appear in the rows that wait for them.
    connect(&sources, &SourceApplicationIcon::iconsArrived, list_->viewport(), qOverload<>(&QWidget::update));
    connect(&history, &HistoryBrowser::sourceFilterChanged, this, &SourceFilterPopover::followFilter);
    connect(&history, &HistoryBrowser::availableSourcesChanged, this, &SourceFilterPopover::followSources);
    followFilter();
    followSources();
}

void SourceFilterPopover::popup(QWidget* anchor)
{
    anchor_ = anchor;
    adjustSize();
    QPoint origin = anchor->mapToGlobal(QPoint(anchor->width() / 2 - popoverWidth / 2, anchor->height() + 6));
    if (const QScreen* screen = anchor->screen()) {
        const QRect available = screen->availableGeometry();
        origin.setX(qBound(available.left(), origin.x(), available.right() - popoverWidth));
    }
    move(origin);
    // Opened from the keyboard, the first row shows where the keyboard is.
    list_->setProperty(keyboardProperty, KeyboardFocus::showsRing(anchor));
    if (model_->rowCount() > 0 && !list_->currentIndex().isValid())
        list_->setCurrentIndex(model_->index(0));
    show();
    activateWindow();
    if (model_->rowCount() > 0)
        list_->setFocus(Qt::PopupFocusReason);
}

QListView* SourceFilterPopover::list() const
{
    return list_->isHidden() ? nullptr : list_;
}

void SourceFilterPopover::followFilter()
{
    const ClipSourceFilter& filter = history_.sourceFilter();
    const int selected = int(selectedCount(filter));
    summary_->setText(selected == 0 ? tr("All Apps") : tr("Selected: %n", nullptr, selected));
    reset_->setEnabled(!filter.isAll());
    model_->filterChanged();
    // A row is heard as a check box is: each tick that came or went is told as it changes.
    if (QAccessible::isActive()) {
        for (int row = 0; row < model_->rowCount(); ++row) {
            const std::optional<QString> source = model_->bundleID(model_->index(row));
            if (isChecked(filter, source) == isChecked(ticked_, source))
                continue;
            QAccessible::State checked;
            checked.checked = true;
            QAccessibleStateChangeEvent change(list_, checked);
            change.setChild(row);
            QAccessible::updateAccessibility(&change);
        }
    }
    ticked_ = filter;
}

void SourceFilterPopover::followSources()
{
    // The keyboard stays on the row it was on, wherever that row is now.
    const QModelIndex current = list_->currentIndex();
    // Spelled out: a deduced optional of an optional would be the inner one, and "no row" would
    // then read as the row of no known source.
    std::optional<std::optional<QString>> kept;
    if (current.isValid())
        kept.emplace(model_->bundleID(current));
    model_->sourcesChanged();
    if (kept && model_->rowOf(*kept) >= 0)
        list_->setCurrentIndex(model_->index(model_->rowOf(*kept)));
    const int rows = model_->rowCount();
    empty_->setVisible(rows == 0);
    list_->setVisible(rows > 0);
    list_->setFixedHeight(qMin(280, rows * SourceRowDelegate::rowHeight));
    adjustSize();
}
QString SourceFilterPopover::sourceName(const std::optional<QString>& bundleID) const
{
    if (!bundleID)
        return tr("Unknown source");
    return sources_.resolve(bundleID, ClipKind::other)->name;
}

QIcon SourceFilterPopover::sourceImage(const std::optional<QString>& bundleID, const QColor& symbolColor) const
{
    if (!bundleID)
        return SymbolIcon::icon(QStringLiteral("questionmark.app"), symbolColor);
    const auto resolved = sources_.resolve(bundleID, ClipKind::other);
    if (!resolved->image.isNull())
        return resolved->image;
    // An installed application's icon still being decoded leaves its place empty until it comes.
    if (!resolved->isFallback() && resolved->symbol.isEmpty())
        return QIcon();
    return SymbolIcon::icon(QStringLiteral("app"), symbolColor);
}

qint64 SourceFilterPopover::selectedCount(const ClipSourceFilter& filter)
{
    switch (filter.kind) {
    case ClipSourceFilter::Case::all: return 0;
    case ClipSourceFilter::Case::unknown: return 1;
    case ClipSourceFilter::Case::application: return 1;
    case ClipSourceFilter::Case::selection: return filter.bundleIDs.size() + (filter.includesUnknown ? 1 : 0);
    }
    return 0;
}

bool SourceFilterPopover::isChecked(const ClipSourceFilter& filter, const std::optional<QString>& bundleID)
{
    switch (filter.kind) {
    case ClipSourceFilter::Case::all: return false;
    case ClipSourceFilter::Case::unknown: return !bundleID;
    case ClipSourceFilter::Case::application: return bundleID && *bundleID == filter.bundleID;
    case ClipSourceFilter::Case::selection:
        return bundleID ? filter.bundleIDs.contains(*bundleID) : filter.includesUnknown;
    }
    return false;
}

QString SourceFilterPopover::buttonText(const ClipSourceFilter& filter)
{
    const int count = int(selectedCount(filter));
    return count == 0 ? tr("All Apps") : tr("Apps: %n", nullptr, count);
}

void SourceFilterPopover::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Appearance appearance = ThemeAppearance::of(parentWidget());
    const QRectF shape(rect());
    RoundedShape::fill(painter, shape, 12, TavlinTheme::surfaceColor.resolve(appearance));
    // No compositor draws a shadow under it: its edge alone tells it from what it opens over, one
    // whole pixel wide along its sides rather than half of two.
    RoundedShape::strokeInside(painter, shape, 12, TavlinTheme::controlEdge.resolve(appearance), 1);
}

void SourceFilterPopover::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        // The keyboard goes back to where the popup came from, with its ring.
        const QPointer<QWidget> anchor = anchor_;
        close();
        if (anchor)
            anchor->setFocus(Qt::TabFocusReason);
        return;
    }
    QWidget::keyPressEvent(event);
}

bool SourceFilterPopover::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress)
        list_->setProperty(keyboardProperty, true);
    else if (watched == list_->viewport() && event->type() == QEvent::MouseButtonPress)
        list_->setProperty(keyboardProperty, false);
    else if (watched == list_ && event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
            list_->setProperty(keyboardProperty, true);
        // Qt tells a screen reader of the list once the focus event is handled; it then hears the
        // row that Space would tick, not just the list's name.
        QMetaObject::invokeMethod(
            list_,
            [list = list_] {
                if (!QAccessible::isActive() || !list->hasFocus() || !list->currentIndex().isValid())
                    return;
                QAccessibleEvent focus(list, QAccessible::Focus);
                focus.setChild(list->currentIndex().row());
                QAccessible::updateAccessibility(&focus);
            },
            Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tavlin
