#include "SettingsCaption.h"

#include "SystemFont.h"

namespace tavlin {

SettingsCaption::SettingsCaption(const QString& text, const ThemeColor& color, const QString& identifier,
                                 QWidget* parent)
    : ThemedLabel(text, SystemFont::regular(12), color, parent)
{
    setWordWrap(true);
    setContentsMargins(4, 0, 4, 0);
    setObjectName(identifier);
}

} // namespace tavlin
