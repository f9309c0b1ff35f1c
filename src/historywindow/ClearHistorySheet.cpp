#include "ClearHistorySheet.h"

#include "AssistiveRoles.h"
#include "ButtonLook.h"
#include "KeyboardFocus.h"
#include "SymbolIcon.h"
#include "SystemFont.h"
#include "TavlinStyle.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tavlin {

qint64 ClearHistorySheet::toBeDeleted(qint64 total, qint64 favorites, bool keepingFavorites)
{
    return keepingFavorites ? qMax<qint64>(total - favorites, 0) : total;
}

ClearHistorySheet::ClearHistorySheet(qint64 total, qint64 favorites, std::function<void()> onCancel,
                                     std::function<void(bool)> onClear, QWidget* parent)
    : QDialog(parent), total_(total), favorites_(favorites)
{
    setObjectName(QStringLiteral("clear-history-sheet"));
    setWindowTitle(tr("Clear History?"));
    setWindowModality(Qt::WindowModal);
    // A sheet hangs from the top of its window: no title bar of its own, so nothing to minimise
    // or maximise, and it moves with nothing but its window.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedWidth(sheetWidth);
    const Appearance appearance = ThemeAppearance::of(parent);
    // A window of its own: it takes the window's theme explicitly, on a raised surface rather
    // than the window's own background.
    QPalette sheetPalette = ThemeAppearance::palette(appearance);
    sheetPalette.setColor(QPalette::Window, TavlinTheme::elevatedSurface.resolve(appearance));
    setPalette(sheetPalette);
    const QColor secondary = TavlinTheme::secondaryText.resolve(appearance);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(26, 26, 26, 26);
    layout->setSpacing(18);

    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(8);
    auto* icon = new QLabel;
    AssistiveRoles::markDecorative(icon);
    icon->setPixmap(SymbolIcon::pixmap(QStringLiteral("trash"), 20, TavlinTheme::primaryText.resolve(appearance),
                                       devicePixelRatioF()));
    auto* title = new QLabel(tr("Clear History?"));
    title->setFont(SystemFont::regular(17, QFont::Bold));
    titleRow->addWidget(icon);
    titleRow->addWidget(title, 1);
    layout->addLayout(titleRow);

    // Every text in the interface's sizes, whatever the desktop's font.
    const QFont body = SystemFont::regular(13);
    auto* warning = new QLabel(
        tr("Clearing affects the entire history, regardless of search and filters. This can’t be undone."));
    warning->setFont(body);
    warning->setWordWrap(true);
    QPalette palette = warning->palette();
    palette.setColor(QPalette::WindowText, secondary);
    warning->setPalette(palette);
    layout->addWidget(warning);

    auto* pickerTitle = new QLabel(tr("What to keep"));
    pickerTitle->setFont(body);
    layout->addWidget(pickerTitle);
    keep_ = new QRadioButton;
    keep_->setChecked(true);
    deleteAll_ = new QRadioButton(tr("Delete all records"));
    auto* group = new QButtonGroup(this);
    group->addButton(keep_);
    group->addButton(deleteAll_);
    // The style outlines a radio button in a darker shade of its window colour, which vanishes on
    // a dark sheet: the outline follows the secondary text instead.
    QPalette choices = keep_->palette();
    choices.setColor(QPalette::Window, secondary);
    for (QRadioButton* choice : {keep_, deleteAll_}) {
        choice->setPalette(choices);
        choice->setFont(body);
    }
    auto* picker = new QVBoxLayout;
    picker->setSpacing(2);
    // The indicators line up with the title above them; the room kept for their rings stands out
    // into the sheet's margin.
    picker->setContentsMargins(-TavlinStyle::indicatorRingOutset, -12 - TavlinStyle::indicatorRingOutset, 0, 0);
    picker->addWidget(keep_);
    picker->addWidget(deleteAll_);
    layout->addLayout(picker);
    connect(keep_, &QRadioButton::toggled, this, &ClearHistorySheet::refresh);

    count_ = new QLabel;
    count_->setObjectName(QStringLiteral("clear-history-count"));
    count_->setFont(SystemFont::regular(12));
    count_->setPalette(palette);
    layout->addWidget(count_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* cancel = ButtonLook::action({TavlinButtonStyle::Kind::secondary, 28}, tr("Cancel"));
    ButtonLook destructive = ButtonLook::styled({TavlinButtonStyle::Kind::secondary, 28});
    destructive.ink = TavlinTheme::systemRed;
    auto* clear = ButtonLook::push(destructive, tr("Clear"));
    clear->setObjectName(QStringLiteral("clear-history-confirm"));
    for (QPushButton* button : {cancel, clear})
        buttons->addWidget(button);
    layout->addLayout(buttons);

    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::rejected, this, [onCancel] { onCancel(); });
    connect(clear, &QPushButton::clicked, this, [this, onClear] {
        const bool keeping = keepingFavorites();
        accept();
        onClear(keeping);
    });
    refresh();
}

void ClearHistorySheet::showEvent(QShowEvent* event)
{
    // Opened from the keyboard (the menu reached by Tab), the sheet shows where its focus is from
    // the start, as though tabbed to: the choice it gives the focus is ringed.
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QWidget* from = owner ? owner->focusWidget() : nullptr;
    setAttribute(Qt::WA_KeyboardFocusChange, from && KeyboardFocus::cameByKeyboard(from));
    QDialog::showEvent(event);
    if (const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr) {
        const QRect frame = owner->geometry();
        move(frame.x() + (frame.width() - width()) / 2, frame.y());
    }
}

void ClearHistorySheet::paintEvent(QPaintEvent*)
{
    // Without a frame of its own, an edge tells the sheet from the window behind it.
    QPainter painter(this);
    painter.setPen(TavlinTheme::border.resolve(ThemeAppearance::of(this)));
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

void ClearHistorySheet::setCounts(qint64 total, qint64 favorites)
{
    total_ = total;
    favorites_ = favorites;
    refresh();
}

bool ClearHistorySheet::keepingFavorites() const
{
    return keep_->isChecked();
}

void ClearHistorySheet::refresh()
{
    const int favorites = int(favorites_);
    keep_->setText(tr("Keep favorites (%n)", nullptr, favorites));
    const int deleted = int(toBeDeleted(total_, favorites_, keepingFavorites()));
    count_->setText(tr("To be deleted: %n", nullptr, deleted));
}

} // namespace tavlin
