#include "ClearHistorySheet.h"

#include "AssistiveRoles.h"
#include "SymbolIcon.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
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
    setFixedWidth(sheetWidth);
    const Appearance appearance = ThemeAppearance::of(parent);
    // A window of its own: it takes the window's theme explicitly.
    setPalette(ThemeAppearance::palette(appearance));
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

    auto* warning = new QLabel(tr("Clearing affects the entire history, regardless of search and filters. This can’t be undone."));
    warning->setWordWrap(true);
    QPalette palette = warning->palette();
    palette.setColor(QPalette::WindowText, secondary);
    warning->setPalette(palette);
    layout->addWidget(warning);

    auto* pickerTitle = new QLabel(tr("What to keep"));
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
    for (QRadioButton* choice : {keep_, deleteAll_})
        choice->setPalette(choices);
    auto* picker = new QVBoxLayout;
    picker->setSpacing(6);
    picker->setContentsMargins(0, -12, 0, 0);
    picker->addWidget(keep_);
    picker->addWidget(deleteAll_);
    layout->addLayout(picker);
    connect(keep_, &QRadioButton::toggled, this, &ClearHistorySheet::refresh);

    count_ = new QLabel;
    count_->setObjectName(QStringLiteral("clear-history-count"));
    count_->setPalette(palette);
    layout->addWidget(count_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* cancel = new QPushButton(tr("Cancel"));
    auto* clear = new QPushButton(tr("Clear"));
    clear->setObjectName(QStringLiteral("clear-history-confirm"));
    for (QPushButton* button : {cancel, clear}) {
        button->setAutoDefault(false);
        button->setDefault(false);
        buttons->addWidget(button);
    }
    QPalette destructive = clear->palette();
    destructive.setColor(QPalette::ButtonText, QColor(0xD7, 0x26, 0x1E));
    clear->setPalette(destructive);
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
