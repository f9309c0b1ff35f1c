#include "QuickPanelView.h"

#include "AccessibleValueWidget.h"
#include "Announcer.h"
#include "ButtonLook.h"
#include "QuickPanelList.h"
#include "QuickPanelState.h"
#include "QuickSearchField.h"
#include "RecordListModel.h"
#include "RecordsAccessibility.h"
#include "RoundedShape.h"
#include "SearchFocusRing.h"
#include "SymbolIcon.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QAccessible>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStackedLayout>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

namespace tavlin {

namespace {

QString colorName(const QColor& color)
{
    return color.name(QColor::HexArgb);
}

const char* const starName = "quick-panel-favorites";

// The switch reads as a button with its name, checked while on, and "Enabled" or "Disabled" as
// its value.
class StarButtonAccessible : public AccessibleValueWidget {
public:
    explicit StarButtonAccessible(QWidget* widget) : AccessibleValueWidget(widget, QAccessible::Button) { }
    QString text(QAccessible::Text t) const override
    {
        const auto* button = static_cast<const QAbstractButton*>(widget());
        switch (t) {
        case QAccessible::Name: return QuickPanelView::tr("Favorites Only");
        case QAccessible::Value:
            return button->isChecked() ? QuickPanelView::tr("Enabled") : QuickPanelView::tr("Disabled");
        default: return QAccessibleWidget::text(t);
        }
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = static_cast<const QAbstractButton*>(widget())->isChecked();
        return state;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == pressAction())
            static_cast<QAbstractButton*>(widget())->click();
    }
};

QAccessibleInterface* starButtonAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("QToolButton") && object && object->objectName() == QLatin1String(starName))
        return new StarButtonAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

// The favorites-only switch: a star, filled and tinted while on. It never takes the keyboard.
QToolButton* starButton(QWidget* parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(starButtonAccessible);
        return true;
    }();
    Q_UNUSED(installed);
    auto* star = new QToolButton(parent);
    star->setObjectName(QLatin1String(starName)); // before anything asks for its interface
    ButtonLook look = ButtonLook::withKind(ButtonLook::Kind::symbol);
    look.symbol = QStringLiteral("star");
    look.checkedSymbol = QStringLiteral("star.fill");
    look.symbolSize = 12;
    look.ink = TavlinTheme::secondaryText;
    ButtonLook::apply(star, look);
    ButtonLook::setLabel(star, QuickPanelView::tr("Favorites Only"));
    star->setCheckable(true);
    star->setFocusPolicy(Qt::NoFocus);
    star->setFixedSize(28, 24);
    return star;
}

} // namespace

QuickPanelSearch::QuickPanelSearch(QWidget* parent) : QWidget(parent)
{
    setFixedHeight(28);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12 + 14 + 8, 0, 12, 0); // the glass is painted in the left padding
    field_ = new QuickSearchField(this);
    layout->addWidget(field_);
    ring_ = new SearchFocusRing(this);
    connect(field_, &QuickSearchField::focusChanged, ring_, &SearchFocusRing::setFocused);
}

void QuickPanelSearch::resizeEvent(QResizeEvent*)
{
    ring_->setGeometry(rect());
    ring_->raise();
}

void QuickPanelSearch::paintEvent(QPaintEvent*)
{
    const Appearance appearance = ThemeAppearance::of(this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds(rect());
    RoundedShape::fill(painter, bounds, RoundedShape::capsuleRadius(bounds),
                       TavlinTheme::contentSurface.resolve(appearance));
    SymbolIcon::paint(painter, QStringLiteral("magnifyingglass"), QRectF(12, (height() - 14) / 2.0, 14, 14),
                      TavlinTheme::secondaryText.resolve(appearance));
}

QuickPanelView::QuickPanelView(QuickPanelState& state, const SourceApplicationIcon& sources, QWidget* parent)
    : QWidget(parent), state_(state)
{
    setObjectName(QStringLiteral("quick-panel-content"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // Search: 10 above, 28 high, 6 below, 12 at the sides.
    auto* searchBand = new QHBoxLayout;
    searchBand->setContentsMargins(12, 10, 12, 6);
    search_ = new QuickPanelSearch(this);
    searchBand->addWidget(search_);
    column->addLayout(searchBand);

    auto* header = new QWidget(this);
    header->setFixedHeight(30);
    auto* headerRow = new QHBoxLayout(header);
    headerRow->setContentsMargins(16, 0, 16, 0);
    recent_ = new QLabel(header);
    QFont recentFont = SystemFont::regular(10, QFont::DemiBold);
    recentFont.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    recent_->setFont(recentFont);
    star_ = starButton(header);
    headerRow->addWidget(recent_);
    headerRow->addStretch(1);
    headerRow->addWidget(star_);
    column->addWidget(header);

    auto* listBand = new QWidget(this);
    listBand->setMinimumHeight(0);
    auto* listLayout = new QGridLayout(listBand);
    listLayout->setContentsMargins(12, 0, 12, 0);
    list_ = new QuickPanelList(
        state, sources, [this](const Clip& clip) { Q_EMIT copyRequested(clip); }, listBand);
    // The list is named by the label above it, which shows in capitals; spoken, it is a word.
    list_->setAccessibleName(tr("Recent"));
    recent_->setAccessibleName(tr("Recent"));
    empty_ = new QLabel(listBand);
    empty_->setFont(SystemFont::regular(13));
    empty_->setAlignment(Qt::AlignCenter);
    empty_->setAttribute(Qt::WA_TransparentForMouseEvents); // clicks reach the list below
    listLayout->addWidget(list_, 0, 0);
    listLayout->addWidget(empty_, 0, 0);
    // The list gives way first when the panel is smaller than its design size.
    column->addWidget(listBand, 1);

    auto* footer = new QWidget(this);
    footer->setFixedHeight(36);
    auto* footerRow = new QHBoxLayout(footer);
    footerRow->setContentsMargins(16, 0, 16, 0);
    auto* footerLine = new QWidget(footer);
    footerRow->addWidget(footerLine);
    // The error line takes the place of the key hints.
    footer_ = new QStackedLayout(footerLine);
    error_ = new QLabel(footerLine);
    error_->setObjectName(QStringLiteral("quick-panel-error"));
    error_->setFont(SystemFont::regular(10));
    error_->setWordWrap(true);
    error_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // At most two lines; the whole message is in the tooltip.
    error_->setMaximumHeight(QFontMetrics(error_->font()).lineSpacing() * 2);
    error_->setTextFormat(Qt::PlainText);
    hints_ = new QWidget(footerLine);
    auto* hintRow = new QHBoxLayout(hints_);
    hintRow->setContentsMargins(0, 0, 0, 0);
    hintRow->setSpacing(15);
    for (const QString& text : {tr("↑↓ select"), tr("↵ copy")}) {
        auto* hint = new QLabel(text, hints_);
        hint->setFont(SystemFont::regular(10));
        hintRow->addWidget(hint);
        hintLabels_.append(hint);
    }
    hintRow->addStretch(1);
    history_ = new QPushButton(tr("Ctrl ↵ history"), hints_);
    history_->setObjectName(QStringLiteral("quick-panel-history"));
    history_->setFocusPolicy(Qt::NoFocus);
    history_->setFlat(true);
    history_->setFont(SystemFont::regular(10));
    history_->setCursor(Qt::PointingHandCursor);
    hintRow->addWidget(history_);
    footer_->addWidget(hints_);
    footer_->addWidget(error_);
    column->addWidget(footer);
    // The footer tells how things stand: the keys, or what went wrong. The empty-state text is
    // heard from there as it takes the place of the records or of another, each time, while the
    // keyboard stays in the search field.
    announcer_ = new Announcer(footer);

    QuickSearchField* field = search_->field();
    connect(field, &QuickSearchField::commandRequested, this, &QuickPanelView::commandRequested);
    connect(field, &QuickSearchField::queryChanged, &state_, &QuickPanelState::setQuery);
    // At each opening the window hands the field the keyboard, and a screen reader hears the
    // field; then what Return would copy, once Qt has told of the field.
    connect(field, &QuickSearchField::focusChanged, this, [this](bool focused) {
        if (focused)
            QMetaObject::invokeMethod(this, &QuickPanelView::tellHighlighted, Qt::QueuedConnection);
    });
    connect(star_, &QAbstractButton::clicked, this, [this] { state_.setFavoritesOnly(!state_.favoritesOnly()); });
    connect(history_, &QPushButton::clicked, this, [this] { Q_EMIT commandRequested(QuickPanelCommand::history); });
    for (auto changed : {&QuickPanelState::queryChanged, &QuickPanelState::favoritesOnlyChanged,
                         &QuickPanelState::clipsChanged, &QuickPanelState::errorMessageChanged})
        connect(&state, changed, this, &QuickPanelView::refresh);
    // Told once the page has come, not while the query changes ahead of it; and only when another
    // text shows than after the last page, so that a search that goes on matching nothing is quiet.
    connect(&state, &QuickPanelState::pageLoaded, this, [this] {
        const QString shown = state_.clips().isEmpty() ? empty_->text() : QString();
        if (std::exchange(emptyShown_, shown) != shown && !shown.isEmpty())
            announcer_->say(shown);
    });
    refresh();
    restyle();
}

QuickSearchField* QuickPanelView::searchField() const
{
    return search_->field();
}

QString QuickPanelView::emptyText(const QString& query, bool favoritesOnly)
{
    if (!query.isEmpty()) // a single space is a query too
        return tr("Nothing found");
    return favoritesOnly ? tr("No favorites yet") : tr("History is empty");
}

void QuickPanelView::tellHighlighted()
{
    if (state_.clips().isEmpty())
        announcer_->say(empty_->text());
    else
        RecordsAccessibility::focusCurrent(list_);
}

void QuickPanelView::repeatHighlighted()
{
    // A reader says nothing of a focus event for the record it is already on: said as a
    // notification, the record is heard again.
    if (state_.clips().isEmpty())
        announcer_->say(empty_->text());
    else
        announcer_->say(list_->currentIndex().data(RecordListModel::LabelRole).toString());
}

void QuickPanelView::refresh()
{
    search_->field()->showQuery(state_.query());
    star_->setChecked(state_.favoritesOnly());
    empty_->setVisible(state_.clips().isEmpty());
    empty_->setText(emptyText(state_.query(), state_.favoritesOnly()));
    const bool failed = state_.errorMessage().has_value();
    footer_->setCurrentWidget(failed ? static_cast<QWidget*>(error_) : hints_);
    error_->setText(state_.errorMessage().value_or(QString()));
    error_->setToolTip(error_->text());
}

void QuickPanelView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::LocaleChange)
        restyle();
}

void QuickPanelView::restyle()
{
    if (restyling_)
        return;
    restyling_ = true; // setting style sheets below changes palettes again
    const Appearance appearance = ThemeAppearance::of(this);
    const QString secondary = colorName(TavlinTheme::secondaryText.resolve(appearance));
    recent_->setText(locale().toUpper(tr("Recent")));
    for (QLabel* label : {recent_, empty_})
        label->setStyleSheet(QStringLiteral("color: %1;").arg(secondary));
    for (QLabel* label : hintLabels_)
        label->setStyleSheet(QStringLiteral("color: %1;").arg(secondary));
    const QColor red = appearance.dark ? QColor(0xFF453A) : QColor(0xFF3B30);
    error_->setStyleSheet(QStringLiteral("color: %1;").arg(colorName(red)));
    QPalette field = search_->field()->palette();
    field.setColor(QPalette::PlaceholderText, TavlinTheme::secondaryText.resolve(appearance));
    field.setColor(QPalette::Text, TavlinTheme::primaryText.resolve(appearance));
    search_->field()->setPalette(field);
    list_->setStyleSheet(
        QStringLiteral("QTableView { background: transparent; border: none; }"
                       "QScrollBar:vertical { background: transparent; width: 6px; margin: 0; }"
                       "QScrollBar::handle:vertical { background: %1; border-radius: 3px; min-height: 24px; }"
                       "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
                       "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }")
            .arg(colorName(TavlinTheme::controlBorder.resolve(appearance))));
    history_->setStyleSheet(
        QStringLiteral("QPushButton { color: %1; border: none; background: transparent; padding: 0; }"
                       "QPushButton:hover { color: %2; }")
            .arg(secondary, colorName(TavlinTheme::brandAccent.resolve(appearance))));
    restyling_ = false;
}

} // namespace tavlin
