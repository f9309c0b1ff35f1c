#include "SettingsSection.h"

namespace tavlin {

QString symbol(SettingsSection section)
{
    switch (section) {
    case SettingsSection::general: return QStringLiteral("gearshape");
    case SettingsSection::interface: return QStringLiteral("slider.horizontal.3");
    case SettingsSection::quickPanel: return QStringLiteral("keyboard");
    case SettingsSection::privacy: return QStringLiteral("hand.raised");
    }
    return {};
}

} // namespace tavlin
