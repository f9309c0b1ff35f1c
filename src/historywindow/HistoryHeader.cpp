#include "HistoryHeader.h"

#include "AssistiveRoles.h"
#include "ButtonLook.h"
#include "CaretBlinkLimit.h"
#include "HistoryControls.h"
#include "HistoryListView.h"
#include "HistoryModel.h"
#include "KeyboardMenus.h"
#include "SearchFocusRing.h"
#include "SourceFilterPopover.h"
#include "SymbolIcon.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"
#include "ViewPreferences.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

namespace tavlin {

HistoryHeader::HistoryHeader(HistoryBrowser& browser, ViewPreferences& preferences,
                             const SourceApplicationIcon& sources, QWidget* parent)
    : QWidget(parent), browser_(browser), preferences_(preferences), sources_(sources)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 22, 24, 16);
    layout->setSpacing(12);
    layout->addWidget(buildTitleLine());
    layout->addLayout(buildFilterLine());

    for (auto signal :
         {&HistoryBrowser::sectionChanged, &HistoryBrowser::kindFilterChanged, &HistoryBrowser::sourceFilterChanged,
          &HistoryBrowser::queryChanged, &HistoryBrowser::availableSourcesChanged})
        connect(&browser_, signal, this, &HistoryHeader::refresh);
    connect(&browser_, &HistoryBrowser::totalCountChanged, this, &HistoryHeader::refreshActions);
    connect(&preferences_, &ViewPreferences::showPreviewChanged, this, &HistoryHeader::refresh);
    refresh();
}

QWidget* HistoryHeader::buildTitleLine()
{
    auto* heading = new QWidget;
    auto* headingLayout = new QHBoxLayout(heading);
    headingLayout->setContentsMargins(0, 0, 0, 0);
    headingLayout->setSpacing(10);
    headingIcon_ = new QLabel;
    AssistiveRoles::markDecorative(headingIcon_);
    headingIcon_->setFixedSize(24, 24);
    headingText_ = new QLabel;
    headingText_->setObjectName(QStringLiteral("history-heading"));
    AssistiveRoles::markHeading(headingText_);
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
    searchGlass_ = new QLabel;
    searchGlass_->setObjectName(QStringLiteral("search-glass"));
    AssistiveRoles::markDecorative(searchGlass_);
    searchGlass_->setFixedSize(16, 16);
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
    searchLayout->addWidget(searchGlass_);
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
    moreButton_->installEventFilter(this);
    AssistiveRoles::markPopupButton(moreButton_);
    auto* menu = new QMenu(moreButton_);
    menu->setAttribute(Qt::WA_WindowPropagation); // the window's theme, as the record menu
    menu->setAccessibleName(moreButton_->accessibleName());
    clearAllAction_ = menu->addAction(tr("Clear All History…"), this, &HistoryHeader::clearRequested);
    resetAction_ = menu->addAction(tr("Reset Filters"), this, [this] { browser_.resetFilters(); });
    connect(menu, &QMenu::aboutToShow, this, &HistoryHeader::refreshActions);
    connect(menu, &QMenu::aboutToShow, this, [this] { AssistiveRoles::setPopupOpen(moreButton_, true); });
    connect(menu, &QMenu::aboutToHide, this, [this] { AssistiveRoles::setPopupOpen(moreButton_, false); });
    connect(moreButton_, &QAbstractButton::clicked, this, [this, menu] {
        menu->popup(moreButton_->mapToGlobal(QPoint(0, moreButton_->height() + 4)));
        // Opened from the keyboard (or by a screen reader), it starts on its first entry, which is
        // then named at once; a click opens it with none marked, as menus open under the mouse.
        if (!std::exchange(moreByMouse_, false))
            KeyboardMenus::startOnFirstItem(menu);
    });
    actionsLayout->addWidget(previewButton_);
    actionsLayout->addWidget(moreButton_);
    return new HeaderTitleLine(heading, searchBox_, actions);
}

QLayout* HistoryHeader::buildFilterLine()
{
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
        AssistiveRoles::markChoice(chip);
        chipGroup->addButton(chip);
        chip->setObjectName(QStringLiteral("history-kind-") + toRaw(filter));
        connect(chip, &QAbstractButton::clicked, this, [this, filter] { browser_.setKindFilter(filter); });
        chips_.append(chip);
        chipsLayout->addWidget(chip);
    }
    chipsLayout->addStretch(1);
    // Chips that do not fit beside the source button scroll sideways, without a scroll bar.
    chipScroll_ = new QScrollArea;
    chipScroll_->installEventFilter(this);
    chipScroll_->setWidget(chips);
    chipScroll_->setWidgetResizable(true);
    chipScroll_->setFrameShape(QFrame::NoFrame);
    chipScroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    chipScroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    chipScroll_->setFixedHeight(32);
    // The chips take the keyboard one by one; the strip that holds them is no stop of its own.
    chipScroll_->setFocusPolicy(Qt::NoFocus);
    clearBackground(chipScroll_);
    chips->setMinimumWidth(chips->sizeHint().width());
    ButtonLook sourceLook = ButtonLook::withKind(ButtonLook::Kind::chip);
    sourceLook.padding = 13;
    sourceLook.symbol = QStringLiteral("line.3.horizontal.decrease.circle");
    sourceButton_ = ButtonLook::push(sourceLook, QString());
    sourceButton_->setFont(SystemFont::regular(13, QFont::Medium));
    // Checked while a source filter is on; a click opens the list and leaves that as it is.
    sourceButton_->setCheckable(true);
    sourceButton_->setObjectName(QStringLiteral("history-source-filter"));
    AssistiveRoles::markPopupButton(sourceButton_);
    sourceButton_->setToolTip(tr("Filter by app: you can choose several"));
    connect(sourceButton_, &QAbstractButton::clicked, this, [this] {
        refresh();
        setShowingSources(!popover_);
    });
    filterLine_->addWidget(chipScroll_, 1);
    filterLine_->addWidget(sourceButton_);
    return filterLine_;
}

QList<QWidget*> HistoryHeader::focusOrder() const
{
    QList<QWidget*> order{search_, previewButton_, moreButton_};
    for (QPushButton* chip : chips_)
        order.append(chip);
    order.append(sourceButton_);
    return order;
}

void HistoryHeader::refresh()
{
    const Appearance appearance = ThemeAppearance::of(this);
    const HistorySection section = browser_.section();
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
    searchGlass_->setPixmap(SymbolIcon::pixmap(QStringLiteral("magnifyingglass"), 16,
                                               TavlinTheme::secondaryText.resolve(appearance), devicePixelRatioF()));
    sourceButton_->setChecked(SourceFilterPopover::selectedCount(browser_.sourceFilter()) > 0);
    fitSourceButton();
    if (ButtonLook::setLabel(previewButton_, preferences_.showPreview() ? tr("Hide Preview") : tr("Show Preview"))) {
        if (const QString unheard = AssistiveRoles::unheardName(previewButton_); !unheard.isEmpty())
            Q_EMIT renamedUnderKeyboard(unheard);
    }
    refreshActions();
}

void HistoryHeader::refreshActions()
{
    clearAllAction_->setEnabled(browser_.totalCount() != 0);
    resetAction_->setEnabled(browser_.hasFilters());
}

SourceFilterPopover* HistoryHeader::sourcePopover() const
{
    return popover_;
}

void HistoryHeader::setShowingSources(bool showing)
{
    if (showing == bool(popover_))
        return;
    if (!showing) {
        popover_->close();
        return;
    }
    popover_ = new SourceFilterPopover(browser_, sources_, this);
    popover_->setAttribute(Qt::WA_DeleteOnClose);
    AssistiveRoles::setPopupOpen(sourceButton_, true, popover_);
    popover_->popup(sourceButton_);
    connect(popover_, &QObject::destroyed, sourceButton_,
            [button = sourceButton_] { AssistiveRoles::setPopupOpen(button, false); });
}

void HistoryHeader::focusSearch()
{
    window()->activateWindow();
    search_->setFocus(Qt::ShortcutFocusReason);
}

// Every kind chip stays whole: where the header is too narrow for them and the source button's
// title, the button shows its symbol alone and keeps the title as its accessible name.
void HistoryHeader::fitSourceButton()
{
    const QString title = SourceFilterPopover::buttonText(browser_.sourceFilter());
    // Set only when it differs: each setting is told to assistive technology as a new name, and
    // this runs at every keystroke of a search.
    if (sourceButton_->accessibleName() != title)
        sourceButton_->setAccessibleName(title);
    sourceButton_->setText(title);
    const int needed = chipScroll_->widget()->sizeHint().width() + filterLine_->spacing()
        + sourceButton_->sizeHint().width();
    const int room = filterLine_->geometry().width();
    if (room > 0 && needed > room)
        sourceButton_->setText(QString());
    sourceButton_->updateGeometry();
}

void HistoryHeader::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // A change of theme: the colours set on labels and symbols follow.
    if (event->type() == QEvent::PaletteChange && search_)
        refresh();
}

void HistoryHeader::paintEvent(QPaintEvent*)
{
    // The search field's capsule.
    QPainter painter(this);
    const QRectF capsule = QRectF(searchBox_->geometry()).translated(searchBox_->parentWidget()->mapTo(this, QPoint()));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(TavlinTheme::contentSurface.resolve(ThemeAppearance::of(this)));
    painter.drawRoundedRect(capsule, capsule.height() / 2, capsule.height() / 2);
}

bool HistoryHeader::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == moreButton_ && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress))
        moreByMouse_ = event->type() == QEvent::MouseButtonPress;
    if (watched == chipScroll_ && event->type() == QEvent::Resize) {
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
                Q_EMIT copyRequested();
                return true;
            }
            // Escape takes back a search before anything else.
            if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && !browser_.query().isEmpty()) {
                browser_.setQuery(QString());
                return true;
            }
            if (key->key() == Qt::Key_Down) {
                Q_EMIT recordsRequested();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tavlin
