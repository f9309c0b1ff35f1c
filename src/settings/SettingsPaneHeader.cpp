#include "SettingsPaneHeader.h"

#include "AssistiveRoles.h"
#include "SettingsSymbol.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemedLabel.h"

#include <QHBoxLayout>

namespace tavlin {

SettingsPaneHeader::SettingsPaneHeader(const QString& title, const QString& symbol, QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    auto* tile = new SettingsSymbol(symbol, 18, QSize(40, 40), this);
    tile->setTile(TavlinTheme::selectedBackground, 12);
    layout->addWidget(tile);
    QFont font = SystemFont::regular(24, QFont::DemiBold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, -0.4);
    auto* label = new ThemedLabel(title, font, TavlinTheme::primaryText, this);
    label->setObjectName(QStringLiteral("settings-pane-title"));
    AssistiveRoles::markHeading(label);
    layout->addWidget(label);
    layout->addStretch();
}

} // namespace tavlin
