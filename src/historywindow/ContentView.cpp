#include "ContentView.h"

#include "Announcer.h"
#include "AssistiveRoles.h"
#include "ClearHistorySheet.h"
#include "HistoryControls.h"
#include "HistoryEmptyView.h"
#include "HistoryHeader.h"
#include "HistoryModel.h"
#include "HistoryRecordsArea.h"
#include "HistorySidebar.h"
#include "SymbolIcon.h"
#include "SystemFont.h"
#include "TavlinLanguage.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"
#include "ViewPreferences.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <utility>

namespace tavlin {

namespace {

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
    : QWidget(parent), browser_(model.browser()), operations_(model.operations()),
      openSettings_(std::move(openSettings)), focusSearchOnAppear_(focusSearchOnAppear)
{
    setObjectName(QStringLiteral("history-content"));
    setMinimumSize(820, 540);
    reloadTimer_.setSingleShot(true);
    reloadTimer_.setTimerType(Qt::PreciseTimer);
    reloadTimer_.setInterval(reloadDelay);
    connect(&reloadTimer_, &QTimer::timeout, this, [this] { browser_.reload(); });

    auto* root = new QHBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    sidebar_ = new HistorySidebar(browser_);
    connect(sidebar_, &HistorySidebar::settingsRequested, this, [this] {
        if (openSettings_)
            openSettings_();
    });
    root->addWidget(sidebar_);
    auto* main = new QVBoxLayout;
    main->setSpacing(0);
    header_ = new HistoryHeader(browser_, preferences, sources);
    main->addWidget(header_);
    main->addWidget(buildBanner());
    records_ = new HistoryRecordsArea(browser_, operations_, preferences, sources);
    main->addWidget(records_, 1);
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("history-status"));
    status_->setFont(SystemFont::regular(11));
    status_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    status_->setContentsMargins(24, 0, 24, 12);
    main->addWidget(status_);
    root->addLayout(main, 1);
    // An empty state in place of the records is heard by its title at once, where the keyboard is.
    // A search or filter of the user's that settles on other records is heard by their count, once:
    // told at a letter that matches, the count would be a half-typed query's, and stale by the
    // time a reader got to it. Copies coming in under the same search are not told.
    announcer_ = new Announcer(status_);
    countTimer_.setSingleShot(true);
    countTimer_.setInterval(countDelay);
    connect(&countTimer_, &QTimer::timeout, this, [this] {
        countPending_ = false;
        const Listing listed = listing();
        if (std::exchange(heard_, listed) != listed)
            announcer_->say(listed.status);
    });
    connect(records_, &HistoryRecordsArea::emptyStateChanged, this,
            [this](std::optional<HistoryEmptyView::Kind> shown) {
                if (!shown)
                    return;
                countPending_ = false;
                countTimer_.stop();
                // Whichever of the page's handlers runs first, the reader now knows the records as
                // none: a search that goes back to those listed before is told again.
                heard_ = Listing{{}, statusText(0, 0)};
                announcer_->say(HistoryEmptyView::title(*shown));
            });
    // A page with no change of the user's pending (copies coming in, or the empty state told in
    // its place just before) is what the reader now knows of.
    connect(&browser_, &HistoryBrowser::pageLoaded, this, [this] {
        if (countPending_)
            countTimer_.start();
        else
            heard_ = listing();
    });
    connect(header_, &HistoryHeader::renamedUnderKeyboard, announcer_, &Announcer::say);

    connect(header_, &HistoryHeader::clearRequested, this, &ContentView::showClearSheet);
    connect(header_, &HistoryHeader::copyRequested, records_, &HistoryRecordsArea::copySelected);
    connect(header_, &HistoryHeader::recordsRequested, this, [this] {
        if (recordsView()->isVisible())
            recordsView()->setFocus(Qt::TabFocusReason);
    });
    orderTabs();
    connect(records_, &HistoryRecordsArea::recordsViewChanged, this, &ContentView::orderTabs);

    // Ctrl+F focuses the search; Ctrl+C copies the selected record when no control claims it
    // (the preview's copy button does while the preview shows).
    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    connect(find, &QShortcut::activated, this, &ContentView::focusSearch);
    // Shift+F10 is the Menu key where a keyboard has none: the focused control's menu.
    auto* menu = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
    connect(menu, &QShortcut::activated, this, [this] {
        QWidget* focus = QApplication::focusWidget();
        if (!focus || !isAncestorOf(focus))
            return;
        const QRect caret = focus->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const QPoint where = caret.isValid() ? caret.center() : focus->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, where, focus->mapToGlobal(where));
        QCoreApplication::sendEvent(focus, &event);
    });
    auto* copy = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_C), this);
    copy->setEnabled(!preferences.showPreview());
    connect(copy, &QShortcut::activated, records_, &HistoryRecordsArea::copySelected);
    connect(&preferences, &ViewPreferences::showPreviewChanged, this,
            [copy, &preferences] { copy->setEnabled(!preferences.showPreview()); });

    connect(&browser_, &HistoryBrowser::clipsChanged, this, &ContentView::refreshStatus);
    for (auto signal : {&HistoryBrowser::queryChanged, &HistoryBrowser::sectionChanged,
                        &HistoryBrowser::kindFilterChanged, &HistoryBrowser::sourceFilterChanged})
        connect(&browser_, signal, this, &ContentView::requestMaybeChanged);
    for (auto signal : {&HistoryBrowser::totalCountChanged, &HistoryBrowser::favoriteCountChanged,
                        &HistoryBrowser::matchedCountChanged})
        connect(&browser_, signal, this, &ContentView::refreshStatus);
    connect(&browser_, &HistoryBrowser::errorMessageChanged, this, &ContentView::refreshBanner);
    lastRequest_ = browser_.request();
    setTextColor(status_, TavlinTheme::secondaryText.resolve(ThemeAppearance::of(this)));
    refreshStatus();
    refreshBanner();
}

ContentView::~ContentView() = default;

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
    retry_ = new QPushButton(tr("Try Again"));
    retry_->setAutoDefault(false);
    connect(retry_, &QPushButton::clicked, this, [this] { browser_.reload(); });
    layout->addWidget(icon, 0, Qt::AlignTop);
    layout->addWidget(bannerText_, 1);
    layout->addWidget(retry_, 0, Qt::AlignTop);
    return banner_;
}

CopyFeedback& ContentView::copyFeedback() const
{
    return records_->copyFeedback();
}

std::optional<qint64> ContentView::selection() const
{
    return records_->selection();
}

void ContentView::setSelection(std::optional<qint64> id)
{
    records_->setSelection(id);
}

bool ContentView::copied() const
{
    return records_->copied();
}

void ContentView::copyClip(const Clip& clip)
{
    records_->copyClip(clip);
}

QLineEdit* ContentView::searchField() const
{
    return header_->searchField();
}

QWidget* ContentView::recordsView() const
{
    return records_->recordsView();
}

SourceFilterPopover* ContentView::sourcePopover() const
{
    return header_->sourcePopover();
}

void ContentView::setShowingSources(bool showing)
{
    header_->setShowingSources(showing);
}

void ContentView::focusSearch()
{
    header_->focusSearch();
}

ClearHistorySheet* ContentView::clearSheet() const
{
    return sheet_;
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

void ContentView::orderTabs()
{
    // The keyboard goes through the window as it reads: the sidebar, the header, a failure's
    // "Try Again", the records; the preview, built anew with each selection, comes last.
    const QList<QWidget*> order = sidebar_->focusOrder() + header_->focusOrder()
        + QList<QWidget*>{retry_, records_->recordsView()};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void ContentView::requestMaybeChanged()
{
    const HistoryQuery request = browser_.request();
    if (lastRequest_ == request)
        return;
    lastRequest_ = request;
    // Every change restarts the wait: a burst of keystrokes gives one reload after the last.
    reloadTimer_.start();
    // The count waits for the page that answers this change, and for the search to settle.
    countPending_ = true;
    countTimer_.stop();
}

ContentView::Listing ContentView::listing() const
{
    Listing listing;
    listing.ids.reserve(browser_.clips().size());
    for (const Clip& clip : browser_.clips())
        listing.ids.append(clip.id);
    listing.status = statusText(browser_.clips().size(), browser_.matchedCount());
    return listing;
}

void ContentView::refreshStatus()
{
    status_->setText(listing().status);
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

void ContentView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    // The first page follows the window's first appearance after the same pause as typing.
    reloadTimer_.start();
    if (focusSearchOnAppear_)
        QTimer::singleShot(0, this, &ContentView::focusSearch);
}

void ContentView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // A change of theme: the status line's colour follows.
    if (event->type() == QEvent::PaletteChange && status_)
        setTextColor(status_, TavlinTheme::secondaryText.resolve(ThemeAppearance::of(this)));
}

void ContentView::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), TavlinTheme::appBackground.resolve(ThemeAppearance::of(this)));
}

} // namespace tavlin
