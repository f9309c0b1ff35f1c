#include "SettingsRow.h"

#include "SettingsSymbol.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemedLabel.h"

#include <QHBoxLayout>

namespace tavlin {

SettingsRow::SettingsRow(const QString& title, const QString& symbol, QWidget* control, QWidget* parent)
    : QWidget(parent)
{
    setMinimumHeight(54);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 6, 16, 6);
    layout->setSpacing(12);
    layout->addWidget(new SettingsSymbol(symbol, 15, QSize(20, 20), this));
    auto* label = new ThemedLabel(title, SystemFont::regular(13, QFont::Medium), TavlinTheme::primaryText, this);
    label->setWordWrap(true);
    // Two lines at most: a longer title is cut rather than growing the row further.
    label->setMaximumHeight(2 * label->fontMetrics().lineSpacing() + 1);
    label->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    title_ = label;
    layout->addWidget(label, 1);
    if (control)
        layout->addWidget(control, 0, Qt::AlignVCenter);
}

} // namespace tavlin
