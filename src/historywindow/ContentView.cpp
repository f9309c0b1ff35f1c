#include "ContentView.h"

#include "AssistiveRoles.h"
#include "ButtonLook.h"
#include "CaretBlinkLimit.h"
#include "ClearHistorySheet.h"
#include "ClipPreviewPanel.h"
#include "CopyFeedback.h"
#include "GhostView.h"
#include "HistoryCollectionView.h"
#include "HistoryControls.h"
#include "HistoryEmptyView.h"
#include "HistoryListView.h"
#include "HistoryModel.h"
#include "RecordListModel.h"
#include "SearchFocusRing.h"
#include "SourceFilterPopover.h"
#include "SymbolIcon.h"
#include "SystemFont.h"
#include "TavlinBrandAssets.h"
#include "TavlinLanguage.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"
#include "ViewPreferences.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSvgRenderer>
#include <QToolButton>
#include <QVBoxLayout>

namespace tavlin {

namespace {

QString sectionSymbol(HistorySection section)
{
    return section == HistorySection::favorites ? QStringLiteral("star") : QStringLiteral("clock.arrow.circlepath");
}

void setTextColor(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

// The wordmark in its own colours, fitted into 100 by 32.
class Wordmark : public QWidget {
public:
    Wordmark() { setFixedSize(100, 32); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QSvgRenderer& svg = TavlinBrandAssets::wordmark();
        QSizeF size = svg.defaultSize();
        size.scale(QSizeF(this->size()), Qt::KeepAspectRatio);
        svg.render(&painter, QRectF(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size));
    }
};

// The bar above the records while the model reports a failure.
class Banner : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QColor orange(0xFF, 0x95, 0x00);
        orange.setAlphaF(0.08);
        painter.fillRect(rect(), orange);
        painter.fillRect(QRect(0, height() - 1, width(), 1),
                         TavlinTheme::borderColor.resolve(ThemeAppearance::of(this)));
    }
};

} // namespace

ContentView::ContentView(HistoryModel& model, ViewPreferences& preferences, const SourceApplicationIcon& sources,
                         std::function<void()> openSettings, bool focusSearchOnAppear, QWidget* parent)
    : QWidget(parent), browser_(model.browser()), operations_(model.operations()), preferences_(preferences),
      sources_(sources), openSettings_(std::move(openSettings)), focusSearchOnAppear_(focusSearchOnAppear),
      copyFeedback_(new CopyFeedback(&CopyFeedback::afterDelay, this))
{
    setObjectName(QStringLiteral("history-content"));
    setMinimumSize(820, 540);
    reloadTimer_.setSingleShot(true);
    reloadTimer_.setTimerType(Qt::PreciseTimer);
    reloadTimer_.setInterval(reloadDelay);
    connect(&reloadTimer_, &QTimer::timeout, this, &ContentView::reload);
    // The records' ages ("5 min") move on once a minute without anything else changing.
    ageTimer_.setInterval(std::chrono::minutes(1));
    connect(&ageTimer_, &QTimer::timeout, this, [this] {
        if (auto* view = qobject_cast<QAbstractItemView*>(recordsView()))
            view->viewport()->update();
    });
    ageTimer_.start();

    auto* root = new QHBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->addWidget(buildSidebar());
    auto* main = new QVBoxLayout;
    main->setSpacing(0);
    main->addWidget(buildHeader());
    main->addWidget(buildBanner());
    recordsArea_ = new QWidget;
    recordsArea_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    recordsArea_->installEventFilter(this);
    emptyView_ = new HistoryEmptyView(
        HistoryEmptyView::Kind::history, [this] { browser_.resetFilters(); }, recordsArea_);
    previewPane_ = new QWidget(recordsArea_);
    auto* paneLayout = new QVBoxLayout(previewPane_);
    paneLayout->setContentsMargins(0, 0, 0, 0);
    main->addWidget(recordsArea_, 1);
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("history-status"));
    status_->setFont(SystemFont::regular(11));
    status_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    status_->setContentsMargins(24, 0, 24, 12);
    main->addWidget(status_);
    root->addLayout(main, 1);
    buildRecordsView();

    // Ctrl+F focuses the search; Ctrl+C copies the selected record when no control claims it
    // (the preview's copy button does while the preview shows).
    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    connect(find, &QShortcut::activated, this, &ContentView::focusSearch);
    auto* copy = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_C), this);
    copy->setEnabled(!preferences.showPreview());
    connect(copy, &QShortcut::activated, this, [this] {
        if (const std::optional<Clip> clip = RecordMenu::find(browser_.clips(), selection_.value_or(-1));
            clip && selection_)
            copyClip(*clip);
    });

    connect(&browser_, &HistoryBrowser::clipsChanged, this, &ContentView::clipsChanged);
    connect(&browser_, &HistoryBrowser::rowPresentationsChanged, this, &ContentView::refreshRecords);
    for (auto signal : {&HistoryBrowser::queryChanged, &HistoryBrowser::sectionChanged,
                        &HistoryBrowser::kindFilterChanged, &HistoryBrowser::sourceFilterChanged})
        connect(&browser_, signal, this, &ContentView::requestMaybeChanged);
    for (auto signal :
         {&HistoryBrowser::sectionChanged, &HistoryBrowser::kindFilterChanged, &HistoryBrowser::sourceFilterChanged,
          &HistoryBrowser::queryChanged, &HistoryBrowser::availableSourcesChanged})
        connect(&browser_, signal, this, &ContentView::refreshHeader);
    for (auto signal : {&HistoryBrowser::totalCountChanged, &HistoryBrowser::favoriteCountChanged,
                        &HistoryBrowser::matchedCountChanged})
        connect(&browser_, signal, this, &ContentView::refreshCounts);
    connect(&browser_, &HistoryBrowser::errorMessageChanged, this, &ContentView::refreshBanner);
    connect(&browser_, &HistoryBrowser::previewRevisionChanged, this, &ContentView::loadPreview);
    connect(&browser_, &HistoryBrowser::previewContentChanged, this, &ContentView::schedulePreview);
    connect(&browser_, &HistoryBrowser::selectedMetadataChanged, this, &ContentView::schedulePreview);
    connect(&preferences, &ViewPreferences::viewModeChanged, this, &ContentView::buildRecordsView);
    connect(&preferences, &ViewPreferences::showPreviewChanged, this, [this, copy] {
        copy->setEnabled(!preferences_.showPreview());
        refreshHeader();
        layoutRecords();
        loadPreview();
        schedulePreview();
    });
    lastRequest_ = browser_.request();
    refreshHeader();
    refreshCounts();
    refreshBanner();
    clipsChanged();
}

ContentView::~ContentView() = default;

QWidget* ContentView::buildSidebar()
{
    auto* sidebar = new QWidget;
    sidebar->setObjectName(QStringLiteral("history-sidebar"));
    sidebar->setFixedWidth(180);
    sidebar->setAutoFillBackground(false);
    auto* layout = new QVBoxLayout(sidebar);
    layout->setContentsMargins(12, 16, 12, 16);
    layout->setSpacing(0);
    auto* brand = new QHBoxLayout;
    brand->setSpacing(9);
    brand->addWidget(new GhostView(38));
    auto* wordmark = new Wordmark;
    wordmark->setAccessibleName(tr("Tavlin"));
    brand->addWidget(wordmark);
    brand->addStretch(1);
    layout->addLayout(brand);
    layout->addSpacing(20);
    // One section is chosen at a time; a click on the chosen one leaves it chosen.
    auto* sectionGroup = new QButtonGroup(sidebar);
    for (HistorySection section : allHistorySections) {
        ButtonLook look = ButtonLook::withKind(ButtonLook::Kind::sidebarRow);
        look.symbol = sectionSymbol(section);
        auto* row = ButtonLook::push(look, title(section));
        row->setCheckable(true);
        sectionGroup->addButton(row);
        row->setObjectName(QStringLiteral("history-section-") + toRaw(section));
        connect(row, &QAbstractButton::clicked, this, [this, section] { browser_.setSection(section); });
        sectionRows_.append(row);
        layout->addWidget(row);
        layout->addSpacing(4);
    }
    layout->addStretch(1);
    ButtonLook settingsLook = ButtonLook::withKind(ButtonLook::Kind::sidebarAction);
    settingsLook.symbol = QStringLiteral("gearshape");
    auto* settings = ButtonLook::push(settingsLook, tr("Settings"));
    settings->setObjectName(QStringLiteral("history-settings"));
    connect(settings, &QAbstractButton::clicked, this, [this] {
        if (openSettings_)
            openSettings_();
    });
    layout->addWidget(settings);
    return sidebar;
}

QWidget* ContentView::buildHeader()
{
    auto* header = new QWidget;
    auto* layout = new QVBoxLayout(header);
    layout->setContentsMargins(24, 22, 24, 16);
    layout->setSpacing(12);

    auto* heading = new QWidget;
    auto* headingLayout = new QHBoxLayout(heading);
    headingLayout->setContentsMargins(0, 0, 0, 0);
    headingLayout->setSpacing(10);
    headingIcon_ = new QLabel;
    AssistiveRoles::markDecorative(headingIcon_);
    headingIcon_->setFixedSize(24, 24);
    headingText_ = new QLabel;
    QFont headingFont = SystemFont::regular(28, QFont::DemiBold);
    headingFont.setLetterSpacing(QFont::AbsoluteSpacing, -0.5);
    headingText_->setFont(headingFont);
    headingLayout->addWidget(headingIcon_);
    headingLayout->addWidget(headingText_);

    searchBox_ = new QWidget;
    searchBox_->setObjectName(QStringLiteral("history-search-box"));
    auto* searchLayout = new QHBoxLayout(searchBox_);
    // The field stays off the capsule's edge: it paints its own background, so that the caret's
    // blink repaints the caret's area alone, not the window under it.
    searchLayout->setContentsMargins(12, 3, 12, 3);
    searchLayout->setSpacing(8);
    auto* glass = new QLabel;
    glass->setObjectName(QStringLiteral("search-glass"));
    AssistiveRoles::markDecorative(glass);
    glass->setFixedSize(16, 16);
    search_ = new QLineEdit;
    search_->setObjectName(QStringLiteral("history-search"));
    search_->setPlaceholderText(tr("Search history…"));
    search_->setAccessibleName(search_->placeholderText());
    search_->setFrame(false);
    search_->setAutoFillBackground(true);
    search_->setFont(SystemFont::regular(14));
    search_->installEventFilter(this);
    new CaretBlinkLimit(search_);
    connect(search_, &QLineEdit::textEdited, this, [this](const QString& text) { browser_.setQuery(text); });
    searchHint_ = new QLabel(tr("Ctrl F"));
    searchHint_->setFont(SystemFont::regular(11));
    clearSearch_ = ButtonLook::symbolButton(QStringLiteral("xmark.circle.fill"), 18, 14, tr("Clear Search"));
    ButtonLook::change(clearSearch_, [](ButtonLook& look) { look.ink = TavlinTheme::secondaryText; });
    clearSearch_->setFocusPolicy(Qt::NoFocus);
    connect(clearSearch_, &QAbstractButton::clicked, this, [this] { browser_.setQuery(QString()); });
    searchLayout->addWidget(glass);
    searchLayout->addWidget(search_, 1);
    searchLayout->addWidget(searchHint_);
    searchLayout->addWidget(clearSearch_);
    focusRing_ = new SearchFocusRing(searchBox_);
    searchBox_->installEventFilter(this);

    auto* actions = new QWidget;
    auto* actionsLayout = new QHBoxLayout(actions);
    actionsLayout->setContentsMargins(0, 0, 0, 0);
    actionsLayout->setSpacing(10);
    previewButton_ = ButtonLook::symbolButton(QStringLiteral("sidebar.right"), 26, 20, QString());
    previewButton_->setObjectName(QStringLiteral("history-preview-toggle"));
    connect(previewButton_, &QAbstractButton::clicked, this,
            [this] { preferences_.setShowPreview(!preferences_.showPreview()); });
    moreButton_ = ButtonLook::symbolButton(QStringLiteral("ellipsis.circle"), 26, 20, tr("More Actions"));
    moreButton_->setObjectName(QStringLiteral("history-more-actions"));
    auto* menu = new QMenu(moreButton_);
    menu->setAttribute(Qt::WA_WindowPropagation); // the window's theme, as the record menu
    clearAllAction_ = menu->addAction(tr("Clear All History…"), this, &ContentView::showClearSheet);
    resetAction_ = menu->addAction(tr("Reset Filters"), this, [this] { browser_.resetFilters(); });
    connect(menu, &QMenu::aboutToShow, this, &ContentView::refreshCounts);
    connect(moreButton_, &QAbstractButton::clicked, this,
            [this, menu] { menu->popup(moreButton_->mapToGlobal(QPoint(0, moreButton_->height() + 4))); });
    actionsLayout->addWidget(previewButton_);
    actionsLayout->addWidget(moreButton_);
    layout->addWidget(new HeaderTitleLine(heading, searchBox_, actions));

    filterLine_ = new QHBoxLayout;
    filterLine_->setSpacing(12);
    auto* chips = new QWidget;
    auto* chipsLayout = new QHBoxLayout(chips);
    chipsLayout->setContentsMargins(0, 0, 0, 0);
    chipsLayout->setSpacing(8);
    // One kind is chosen at a time, and says so to assistive technology by being checked.
    auto* chipGroup = new QButtonGroup(chips);
    ButtonLook chipLook = ButtonLook::withKind(ButtonLook::Kind::chip);
    chipLook.padding = 14;
    for (HistoryKindFilter filter : allHistoryKindFilters) {
        auto* chip = ButtonLook::push(chipLook, title(filter));
        chip->setCheckable(true);
        chipGroup->addButton(chip);
        chip->setObjectName(QStringLiteral("history-kind-") + toRaw(filter));
        connect(chip, &QAbstractButton::clicked, this, [this, filter] { browser_.setKindFilter(filter); });
        chips_.append(chip);
        chipsLayout->addWidget(chip);
    }
    chipsLayout->addStretch(1);
    // Chips that do not fit beside the source button scroll sideways, without a scroll bar.
    auto* chipScroll = new QScrollArea;
    chipScroll_ = chipScroll;
    chipScroll->installEventFilter(this);
    chipScroll->setWidget(chips);
    chipScroll->setWidgetResizable(true);
    chipScroll->setFrameShape(QFrame::NoFrame);
    chipScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    chipScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    chipScroll->setFixedHeight(32);
    clearBackground(chipScroll);
    chips->setMinimumWidth(chips->sizeHint().width());
    ButtonLook sourceLook = ButtonLook::withKind(ButtonLook::Kind::chip);
    sourceLook.padding = 13;
    sourceLook.symbol = QStringLiteral("line.3.horizontal.decrease.circle");
    sourceButton_ = ButtonLook::push(sourceLook, QString());
    sourceButton_->setFont(SystemFont::regular(13, QFont::Medium));
    // Checked while a source filter is on; a click opens the list and leaves that as it is.
    sourceButton_->setCheckable(true);
    sourceButton_->setObjectName(QStringLiteral("history-source-filter"));
    sourceButton_->setToolTip(tr("Filter by app: you can choose several"));
    connect(sourceButton_, &QAbstractButton::clicked, this, [this] {
        refreshHeader();
        setShowingSources(!popover_);
    });
    filterLine_->addWidget(chipScroll, 1);
    filterLine_->addWidget(sourceButton_);
    layout->addLayout(filterLine_);
    return header;
}

QWidget* ContentView::buildBanner()
{
    banner_ = new Banner;
    banner_->setObjectName(QStringLiteral("history-error"));
    auto* layout = new QHBoxLayout(banner_);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(10);
    auto* icon = new QLabel;
    AssistiveRoles::markDecorative(icon);
    icon->setPixmap(SymbolIcon::pixmap(QStringLiteral("exclamationmark.triangle.fill"), 16, QColor(0xFF, 0x95, 0x00)));
    icon->setAlignment(Qt::AlignTop);
    bannerText_ = new QLabel;
    bannerText_->setObjectName(QStringLiteral("history-error-message"));
    bannerText_->setWordWrap(true);
    bannerText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* retry = new QPushButton(tr("Try Again"));
    retry->setAutoDefault(false);
    connect(retry, &QPushButton::clicked, this, [this] { browser_.reload(); });
    layout->addWidget(icon, 0, Qt::AlignTop);
    layout->addWidget(bannerText_, 1);
    layout->addWidget(retry, 0, Qt::AlignTop);
    return banner_;
}

RecordCallbacks ContentView::recordCallbacks()
{
    const QPointer<ContentView> self(this);
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
            self->operations_.deleteClip(clip);
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

void ContentView::buildRecordsView()
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
        grid_ = new HistoryCollectionView(*records_, recordsArea_);
        grid_->callbacks = recordCallbacks();
        view = grid_;
    } else {
        list_ = new HistoryListView(*records_, recordsArea_);
        list_->callbacks = recordCallbacks();
        view = list_;
    }
    setTabOrder(search_, view);
    view->show();
    refreshRecords();
    layoutRecords();
    if (hadFocus)
        view->setFocus();
}

SourceFilterPopover* ContentView::sourcePopover() const
{
    return popover_;
}

ClearHistorySheet* ContentView::clearSheet() const
{
    return sheet_;
}

QWidget* ContentView::recordsView() const
{
    if (grid_)
        return grid_;
    return list_;
}

void ContentView::refreshRecords()
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
    if (grid_) {
        grid_->setSelectedID(selection_);
    } else if (list_) {
        list_->setSelectedID(selection_);
    }
}

void ContentView::layoutRecords()
{
    const QRect area = recordsArea_->rect();
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

int ContentView::recordsPadding(qreal width)
{
    return width < 760 ? 16 : 24;
}

QString ContentView::statusText(qint64 listed, qint64 matched)
{
    if (listed < matched) {
        const QString shown = tr("Showing %1 of %2");
        return shown.arg(localizedCount(listed), localizedCount(matched));
    }
    const int count = int(matched);
    return tr("Records: %n", nullptr, count);
}

void ContentView::setSelection(std::optional<qint64> id)
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

void ContentView::copyClip(const Clip& clip)
{
    setSelection(clip.id);
    runCopy(clip);
}

QCoro::Task<> ContentView::runCopy(Clip clip)
{
    const QPointer<ContentView> self(this);
    HistoryOperations* operations = &operations_;
    const bool ok = co_await copyFeedback_->perform(
        clip, [operations](const Clip& record) { return operations->copy(record); });
    if (!self || selection_ != clip.id)
        co_return;
    copied_ = ok;
    if (previewPanel_)
        previewPanel_->setCopied(ok);
}

void ContentView::clipsChanged()
{
    const QList<Clip>& clips = browser_.clips();
    refreshRecords();
    if (!selection_ || !RecordMenu::find(clips, *selection_))
        setSelection(clips.isEmpty() ? std::nullopt : std::optional(clips.first().id));
    refreshCounts();
    HistoryEmptyView::Kind kind = browser_.hasFilters()   ? HistoryEmptyView::Kind::search
        : browser_.section() == HistorySection::favorites ? HistoryEmptyView::Kind::favorites
                                                          : HistoryEmptyView::Kind::history;
    emptyView_->setKind(kind);
    layoutRecords();
    // A reload that keeps the selected record as it was keeps its preview.
    if (previewClip_ != (selection_ ? RecordMenu::find(clips, *selection_) : std::nullopt))
        schedulePreview();
}

void ContentView::requestMaybeChanged()
{
    const HistoryQuery request = browser_.request();
    if (lastRequest_ == request)
        return;
    lastRequest_ = request;
    // Every change restarts the wait: a burst of keystrokes gives one reload after the last.
    reloadTimer_.start();
}

void ContentView::reload()
{
    browser_.reload();
}

void ContentView::loadPreview()
{
    const PreviewKey key{selection_, preferences_.showPreview(), browser_.previewRevision()};
    if (previewKey_ == key)
        return;
    previewKey_ = key;
    const std::optional<Clip> clip = key.enabled && selection_ ? RecordMenu::find(browser_.clips(), *selection_)
                                                               : std::nullopt;
    awaitPreview(clip);
}

QCoro::Task<> ContentView::awaitPreview(std::optional<Clip> clip)
{
    const QPointer<ContentView> self(this);
    const std::optional<PreviewKey> key = previewKey_;
    previewLoading_ = true;
    co_await browser_.loadPreview(clip);
    if (!self || previewKey_ != key)
        co_return;
    previewLoading_ = false;
    schedulePreview();
}

void ContentView::schedulePreview()
{
    // A selection, its preview and its metadata change one after another: the pane follows once.
    if (previewPending_)
        return;
    previewPending_ = true;
    QTimer::singleShot(0, this, [this] {
        previewPending_ = false;
        rebuildPreview();
    });
}

void ContentView::rebuildPreview()
{
    // The panel is built once, for the loaded preview, not first for the record without it.
    if (previewLoading_)
        return;
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
    const std::optional<Clip> clip = selection_ ? RecordMenu::find(browser_.clips(), *selection_) : std::nullopt;
    if (!clip) {
        auto* hint = new QLabel(tr("Select a record"));
        hint->setAlignment(Qt::AlignCenter);
        setTextColor(hint, TavlinTheme::secondaryText.resolve(ThemeAppearance::of(this)));
        layout->addWidget(hint);
        return;
    }
    const QPointer<ContentView> self(this);
    const Clip record = *clip;
    previewClip_ = record;
    previewPanel_ = new ClipPreviewPanel(
        sources_, record, browser_.previewContent(), browser_.selectedMetadata(), copied_,
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
                self->operations_.deleteClip(record);
        });
    layout->addWidget(previewPanel_);
}

void ContentView::refreshHeader()
{
    const Appearance appearance = ThemeAppearance::of(this);
    const HistorySection section = browser_.section();
    for (int i = 0; i < sectionRows_.size(); ++i)
        sectionRows_[i]->setChecked(allHistorySections[i] == section);
    headingText_->setText(title(section));
    headingIcon_->setPixmap(SymbolIcon::pixmap(sectionSymbol(section), 24, TavlinTheme::brandAccent.resolve(appearance),
                                               devicePixelRatioF()));
    for (int i = 0; i < chips_.size(); ++i)
        chips_[i]->setChecked(allHistoryKindFilters[i] == browser_.kindFilter());
    if (search_->text() != browser_.query())
        search_->setText(browser_.query());
    searchHint_->setVisible(browser_.query().isEmpty());
    clearSearch_->setVisible(!browser_.query().isEmpty());
    setTextColor(searchHint_, TavlinTheme::secondaryText.resolve(appearance));
    QPalette searchPalette = search_->palette();
    searchPalette.setColor(QPalette::Base, TavlinTheme::contentSurface.resolve(appearance));
    searchPalette.setColor(QPalette::Text, TavlinTheme::primaryText.resolve(appearance));
    searchPalette.setColor(QPalette::PlaceholderText, TavlinTheme::secondaryText.resolve(appearance));
    search_->setPalette(searchPalette);
    if (auto* glass = searchBox_->findChild<QLabel*>(QStringLiteral("search-glass")))
        glass->setPixmap(SymbolIcon::pixmap(QStringLiteral("magnifyingglass"), 16,
                                            TavlinTheme::secondaryText.resolve(appearance), devicePixelRatioF()));
    sourceButton_->setChecked(SourceFilterPopover::selectedCount(browser_.sourceFilter()) > 0);
    fitSourceButton();
    ButtonLook::setLabel(previewButton_, preferences_.showPreview() ? tr("Hide Preview") : tr("Show Preview"));
    resetAction_->setEnabled(browser_.hasFilters());
    setTextColor(status_, TavlinTheme::secondaryText.resolve(appearance));
}

void ContentView::refreshCounts()
{
    ButtonLook::setDetail(sectionRows_[0], localizedCount(browser_.totalCount()));
    ButtonLook::setDetail(sectionRows_[1], localizedCount(browser_.favoriteCount()));
    status_->setText(statusText(browser_.clips().size(), browser_.matchedCount()));
    clearAllAction_->setEnabled(browser_.totalCount() != 0);
    resetAction_->setEnabled(browser_.hasFilters());
    if (sheet_)
        sheet_->setCounts(browser_.totalCount(), browser_.favoriteCount());
}

void ContentView::refreshBanner()
{
    banner_->setVisible(browser_.errorMessage().has_value());
    bannerText_->setText(browser_.errorMessage().value_or(QString()));
}

void ContentView::showClearSheet()
{
    if (sheet_)
        return;
    const QPointer<ContentView> self(this);
    sheet_ = new ClearHistorySheet(
        browser_.totalCount(), browser_.favoriteCount(), [] {},
        [self](bool keepingFavorites) {
            if (self)
                self->operations_.clear(keepingFavorites);
        },
        this);
    sheet_->setAttribute(Qt::WA_DeleteOnClose);
    connect(sheet_, &QDialog::finished, this, [this] { Q_EMIT sheetEnded(); });
    sheet_->open();
}

void ContentView::setShowingSources(bool showing)
{
    if (showing == bool(popover_))
        return;
    if (!showing) {
        popover_->close();
        return;
    }
    popover_ = new SourceFilterPopover(browser_, sources_, this);
    popover_->setAttribute(Qt::WA_DeleteOnClose);
    popover_->popup(sourceButton_);
}

void ContentView::focusSearch()
{
    window()->activateWindow();
    search_->setFocus(Qt::ShortcutFocusReason);
}

void ContentView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    // The first page follows the window's first appearance after the same pause as typing.
    reloadTimer_.start();
    loadPreview();
    if (focusSearchOnAppear_)
        QTimer::singleShot(0, this, &ContentView::focusSearch);
}

void ContentView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // A change of theme: the colours set on labels and symbols follow.
    if (event->type() == QEvent::PaletteChange && search_) {
        refreshHeader();
        schedulePreview();
    }
}

void ContentView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutRecords();
}

// Every kind chip stays whole: where the header is too narrow for them and the source button's
// title, the button shows its symbol alone and keeps the title as its accessible name.
void ContentView::fitSourceButton()
{
    if (!sourceButton_)
        return;
    const QString title = SourceFilterPopover::buttonText(browser_.sourceFilter());
    sourceButton_->setAccessibleName(title);
    sourceButton_->setText(title);
    const int needed = chipScroll_->widget()->sizeHint().width() + filterLine_->spacing()
        + sourceButton_->sizeHint().width();
    const int room = filterLine_->geometry().width();
    if (room > 0 && needed > room)
        sourceButton_->setText(QString());
    sourceButton_->updateGeometry();
}

void ContentView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const Appearance appearance = ThemeAppearance::of(this);
    painter.fillRect(rect(), TavlinTheme::appBackground.resolve(appearance));
    painter.fillRect(QRect(0, 0, 180, height()), TavlinTheme::sidebarBackground.resolve(appearance));
    // The search field's capsule.
    const QRectF capsule = QRectF(searchBox_->geometry()).translated(searchBox_->parentWidget()->mapTo(this, QPoint()));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(TavlinTheme::contentSurface.resolve(appearance));
    painter.drawRoundedRect(capsule, capsule.height() / 2, capsule.height() / 2);
}

bool ContentView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == recordsArea_ && event->type() == QEvent::Resize) {
        layoutRecords();
    } else if (watched == chipScroll_ && event->type() == QEvent::Resize) {
        fitSourceButton();
    } else if (watched == searchBox_ && (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
        focusRing_->setGeometry(searchBox_->rect());
        update();
    } else if (watched == search_) {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            focusRing_->setFocused(search_->hasFocus());
        } else if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            // With nothing selected in the field, Ctrl+C copies the selected record.
            if (isCopyKey(key) && !search_->hasSelectedText()) {
                if (const std::optional<Clip> clip = selection_ ? RecordMenu::find(browser_.clips(), *selection_)
                                                                : std::nullopt)
                    copyClip(*clip);
                return true;
            }
            if (key->key() == Qt::Key_Down && recordsView() && recordsView()->isVisible()) {
                recordsView()->setFocus(Qt::TabFocusReason);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tavlin
