#include "SettingsSection.h"

#include <QCoreApplication>

namespace tavlin {

QString toRaw(SettingsSection section)
{
    switch (section) {
    case SettingsSection::general: return QStringLiteral("general");
    case SettingsSection::interface: return QStringLiteral("interface");
    case SettingsSection::quickPanel: return QStringLiteral("quickPanel");
    case SettingsSection::privacy: return QStringLiteral("privacy");
    }
    return QStringLiteral("general");
}

template<>
std::optional<SettingsSection> fromRaw<SettingsSection>(QStringView raw)
{
    for (SettingsSection section : allSettingsSections) {
        if (raw == toRaw(section))
            return section;
    }
    return std::nullopt;
}

QString title(SettingsSection section)
{
    switch (section) {
    case SettingsSection::general: return QCoreApplication::translate("Tavlin", "General");
    case SettingsSection::interface: return QCoreApplication::translate("Tavlin", "Interface");
    case SettingsSection::quickPanel: return QCoreApplication::translate("Tavlin", "Quick Panel");
    case SettingsSection::privacy: return QCoreApplication::translate("Tavlin", "History & Privacy");
    }
    return {};
}

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
