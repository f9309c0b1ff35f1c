#include "HistoryRecordsArea.h"

#include "ClipPreviewPanel.h"
#include "CopyFeedback.h"
#include "HistoryCollectionView.h"
#include "HistoryControls.h"
#include "HistoryListView.h"
#include "HistoryModel.h"
#include "ReaderPace.h"
#include "RecordListModel.h"
#include "RecordMenu.h"
#include "RecordsAccessibility.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"
#include "ViewPreferences.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QLabel>
#include <QVBoxLayout>

#include <utility>

namespace tavlin {

HistoryRecordsArea::HistoryRecordsArea(HistoryBrowser& browser, HistoryOperations& operations,
                                       ViewPreferences& preferences, const SourceApplicationIcon& sources,
                                       QWidget* parent)
    : QWidget(parent), browser_(browser), operations_(operations), preferences_(preferences), sources_(sources),
      copyFeedback_(new CopyFeedback(&CopyFeedback::afterDelay, this)),
      previewPace_(new ReaderPace(ReaderPace::Mode::settled, this))
{
    connect(previewPace_, &ReaderPace::due, this, &HistoryRecordsArea::rebuildPreview);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    emptyView_ = new HistoryEmptyView(
        HistoryEmptyView::Kind::history, [this] { browser_.resetFilters(); }, this);
    previewPane_ = new QWidget(this);
    auto* paneLayout = new QVBoxLayout(previewPane_);
    paneLayout->setContentsMargins(0, 0, 0, 0);
    buildRecordsView();

    connect(&browser_, &HistoryBrowser::clipsChanged, this, &HistoryRecordsArea::clipsChanged);
    connect(&browser_, &HistoryBrowser::pageLoaded, this, &HistoryRecordsArea::pageLoaded);
    connect(&browser_, &HistoryBrowser::sectionChanged, this, &HistoryRecordsArea::nameRecords);
    connect(&browser_, &HistoryBrowser::rowPresentationsChanged, this, &HistoryRecordsArea::refreshRecords);
    connect(&browser_, &HistoryBrowser::previewRevisionChanged, this, &HistoryRecordsArea::loadPreview);
    connect(&browser_, &HistoryBrowser::previewContentChanged, this, &HistoryRecordsArea::schedulePreview);
    connect(&browser_, &HistoryBrowser::selectedMetadataChanged, this, &HistoryRecordsArea::schedulePreview);
    connect(&preferences_, &ViewPreferences::viewModeChanged, this, &HistoryRecordsArea::buildRecordsView);
    connect(&preferences_, &ViewPreferences::showPreviewChanged, this, [this] {
        layoutRecords();
        loadPreview();
        schedulePreview();
    });
    clipsChanged();
    if (browser_.clips().isEmpty())
        emptyShown_ = emptyView_->kind();
}

HistoryRecordsArea::~HistoryRecordsArea() = default;

int HistoryRecordsArea::recordsPadding(qreal width)
{
    return width < 760 ? 16 : 24;
}

RecordCallbacks HistoryRecordsArea::recordCallbacks()
{
    const QPointer<HistoryRecordsArea> self(this);
    RecordCallbacks callbacks;
    callbacks.onSelect = [self](std::optional<qint64> id) {
        if (self && !self->refreshingRecords_)
            self->setSelection(id);
    };
    callbacks.onCopy = [self](const Clip& clip) {
        if (self)
            self->copyClip(clip);
    };
    callbacks.onDelete = [self](const Clip& clip) {
        if (self)
            self->deleteClip(clip);
    };
    callbacks.onFavoriteChange = [self](const Clip& clip, bool favorite) {
        if (self)
            self->operations_.setFavorite(clip, favorite);
    };
    callbacks.onFilterSource = [self](const Clip& clip) {
        if (self)
            self->browser_.setSourceFilter(clip.source ? ClipSourceFilter::application(*clip.source)
                                                       : ClipSourceFilter::unknown());
    };
    return callbacks;
}

void HistoryRecordsArea::buildRecordsView()
{
    const bool hadFocus = recordsView() && recordsView()->hasFocus();
    delete list_;
    delete grid_;
    delete records_;
    records_ = new RecordListModel(sources_, this);
    records_->setCopyFeedback(copyFeedback_);
    // The model outlives every view of it.
    HistoryOperations* operations = &operations_;
    records_->setLoader([operations](Clip clip) { return operations->rowPresentation(std::move(clip)); });
    QAbstractItemView* view = nullptr;
    if (preferences_.viewMode() == HistoryViewMode::cards) {
        grid_ = new HistoryCollectionView(*records_, this);
        grid_->callbacks = recordCallbacks();
        view = grid_;
    } else {
        list_ = new HistoryListView(*records_, this);
        list_->callbacks = recordCallbacks();
        view = list_;
    }
    view->show();
    nameRecords();
    refreshRecords();
    layoutRecords();
    Q_EMIT recordsViewChanged(view);
    if (hadFocus)
        view->setFocus();
}

// The records are named by the heading above them, the section's title.
void HistoryRecordsArea::nameRecords()
{
    recordsView()->setAccessibleName(title(browser_.section()));
}

QWidget* HistoryRecordsArea::recordsView() const
{
    if (grid_)
        return grid_;
    return list_;
}

std::optional<Clip> HistoryRecordsArea::selectedClip() const
{
    return selection_ ? RecordMenu::find(browser_.clips(), *selection_) : std::nullopt;
}

void HistoryRecordsArea::setSelection(std::optional<qint64> id)
{
    if (id == selection_)
        return;
    selection_ = id;
    copied_ = false;
    if (grid_)
        grid_->setSelectedID(id);
    else if (list_)
        list_->setSelectedID(id);
    loadPreview();
    schedulePreview();
}

void HistoryRecordsArea::copyClip(const Clip& clip)
{
    setSelection(clip.id);
    runCopy(clip);
}

void HistoryRecordsArea::copySelected()
{
    if (const std::optional<Clip> clip = selectedClip())
        copyClip(*clip);
}

QCoro::Task<> HistoryRecordsArea::runCopy(Clip clip)
{
    const QPointer<HistoryRecordsArea> self(this);
    HistoryOperations* operations = &operations_;
    const bool ok = co_await copyFeedback_->perform(
        clip, [operations](const Clip& record) { return operations->copy(record); });
    if (!self || selection_ != clip.id)
        co_return;
    copied_ = ok;
    // A preview still on its way shows the result when it is built.
    if (previewPanel_ && previewClip_ && previewClip_->id == clip.id)
        previewPanel_->setCopied(ok);
}

void HistoryRecordsArea::deleteClip(const Clip& clip)
{
    // The keyboard is heard on the record it lands on once the record has gone, not first back on
    // that record as its menu closes.
    if (auto* view = qobject_cast<QAbstractItemView*>(recordsView())) {
        RecordsAccessibility::holdFocus(view);
        deleting_ = clip.id;
    }
    operations_.deleteClip(clip);
}

void HistoryRecordsArea::clipsChanged()
{
    const QList<Clip>& clips = browser_.clips();
    refreshRecords();
    // The selection upkeep: a record still listed stays selected, else the first listed is.
    // A view made ready before it first appears has no selection of the user's yet: it appears
    // with the first listed selected, as one built then would.
    if (!selectedClip() || !shown_)
        setSelection(clips.isEmpty() ? std::nullopt : std::optional(clips.first().id));
    // Set before the empty state shows, so that it does not appear as the one before.
    emptyView_->setKind(emptyKind());
    layoutRecords();
    // A reload that keeps the selected record as it was keeps its preview.
    if (previewClip_ != selectedClip())
        schedulePreview();
}

HistoryEmptyView::Kind HistoryRecordsArea::emptyKind() const
{
    return browser_.hasFilters()                          ? HistoryEmptyView::Kind::search
        : browser_.section() == HistorySection::favorites ? HistoryEmptyView::Kind::favorites
                                                          : HistoryEmptyView::Kind::history;
}

// A page that lists nothing, as the one before did, may answer another question (a search over an
// empty history, the other section): the empty state follows the question. Each one that takes
// the place of the records or of another is told, and so are the records that come back.
void HistoryRecordsArea::pageLoaded()
{
    if (deleting_ && !RecordMenu::find(browser_.clips(), *deleting_)) {
        deleting_.reset();
        if (auto* view = qobject_cast<QAbstractItemView*>(recordsView()))
            RecordsAccessibility::releaseFocus(view);
    }
    const std::optional<HistoryEmptyView::Kind> shown = browser_.clips().isEmpty() ? std::optional(emptyKind())
                                                                                   : std::nullopt;
    if (shown)
        emptyView_->setKind(*shown);
    if (std::exchange(emptyShown_, shown) != shown)
        Q_EMIT emptyStateChanged(shown);
}

void HistoryRecordsArea::refreshRecords()
{
    auto* view = qobject_cast<QAbstractItemView*>(recordsView());
    if (!records_ || !view)
        return;
    // Rows leave one at a time, and as each goes a view hands its selection to the next row and
    // scrolls there. Neither is the user's doing: the upkeep decides from the whole new list.
    const bool autoScroll = view->hasAutoScroll();
    view->setAutoScroll(false);
    refreshingRecords_ = true;
    records_->setRecords(browser_.clips());
    records_->setRows(browser_.rowPresentations());
    refreshingRecords_ = false;
    view->setAutoScroll(autoScroll);
    if (grid_)
        grid_->setSelectedID(selection_);
    else if (list_)
        list_->setSelectedID(selection_);
}

void HistoryRecordsArea::layoutRecords()
{
    const QRect area = rect();
    const bool empty = browser_.clips().isEmpty();
    emptyView_->setVisible(empty);
    emptyView_->setGeometry(area);
    QWidget* view = recordsView();
    if (view)
        view->setVisible(!empty);
    previewPane_->setVisible(!empty && preferences_.showPreview());
    if (empty || !view)
        return;
    const int pad = recordsPadding(area.width());
    const QRect inner = area.adjusted(pad, 0, -pad, -pad);
    if (preferences_.showPreview()) {
        const int listWidth = qMax(280, inner.width() - 16 - 288);
        view->setGeometry(inner.left(), inner.top(), listWidth, inner.height());
        previewPane_->setGeometry(inner.left() + listWidth + 16, inner.top(), 288, inner.height());
    } else {
        view->setGeometry(inner);
    }
}

void HistoryRecordsArea::loadPreview()
{
    const PreviewKey key{selection_, preferences_.showPreview(), browser_.previewRevision()};
    if (previewKey_ == key)
        return;
    previewKey_ = key;
    awaitPreview(key.enabled ? selectedClip() : std::nullopt);
}

QCoro::Task<> HistoryRecordsArea::awaitPreview(std::optional<Clip> clip)
{
    const QPointer<HistoryRecordsArea> self(this);
    const std::optional<PreviewKey> key = previewKey_;
    previewLoading_ = true;
    co_await browser_.loadPreview(clip);
    if (!self || previewKey_ != key)
        co_return;
    previewLoading_ = false;
    schedulePreview();
}

void HistoryRecordsArea::schedulePreview()
{
    // Each panel built tells a screen reader of some thirty new parts: while one listens, the pane
    // follows an arrow key held through the records once they stop, where they stop. The keys
    // act on the records themselves, never on the panel's stale one.
    if (QAccessible::isActive()) {
        previewPace_->changed();
        return;
    }
    // A selection, its preview and its metadata change one after another: the pane follows once.
    if (previewPending_)
        return;
    previewPending_ = true;
    QTimer::singleShot(0, this, [this] {
        previewPending_ = false;
        rebuildPreview();
    });
}

void HistoryRecordsArea::rebuildPreview()
{
    // The panel is built once, for the loaded preview, not first for the record without it.
    if (previewLoading_)
        return;
    // A press on one of the panel's own buttons (Favorite, now Unfavorite) builds it anew: the
    // keyboard goes on to that button of the new panel rather than being dropped with the old one,
    // and a screen reader hears it arrive.
    const std::optional<ClipPreviewPanel::FocusPlace> focus = previewPanel_ ? previewPanel_->focusPlace()
                                                                            : std::nullopt;
    delete previewPanel_;
    previewClip_.reset();
    QLayout* layout = previewPane_->layout();
    while (QLayoutItem* item = layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    // A hidden pane is built when it shows.
    if (!preferences_.showPreview())
        return;
    const std::optional<Clip> clip = selectedClip();
    if (!clip) {
        auto* hint = new QLabel(tr("Select a record"));
        hint->setAlignment(Qt::AlignCenter);
        setTextColor(hint, TavlinTheme::secondaryText.resolve(ThemeAppearance::of(this)));
        layout->addWidget(hint);
        if (focus && recordsView() && recordsView()->isVisible())
            recordsView()->setFocus(Qt::OtherFocusReason);
        return;
    }
    const QPointer<HistoryRecordsArea> self(this);
    const Clip record = *clip;
    previewClip_ = record;
    previewPanel_ = new ClipPreviewPanel(
        sources_, record, browser_.previewContent(), browser_.previewImage(), browser_.selectedMetadata(), copied_,
        [self, record] {
            if (self)
                self->copyClip(record);
        },
        [self, record] {
            if (self)
                self->operations_.setFavorite(record, !record.isFavorite);
        },
        [self, record] {
            if (self)
                self->deleteClip(record);
        });
    layout->addWidget(previewPanel_);
    if (focus) {
        previewPanel_->show(); // a layout would show it only later, and focus needs it shown
        if (!previewPanel_->takeFocus(*focus) && recordsView() && recordsView()->isVisible())
            recordsView()->setFocus(Qt::OtherFocusReason);
    }
}

void HistoryRecordsArea::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutRecords();
}

void HistoryRecordsArea::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    shown_ = true;
}

void HistoryRecordsArea::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // A change of theme: the hint's colour follows.
    if (event->type() == QEvent::PaletteChange)
        schedulePreview();
}

} // namespace tavlin
