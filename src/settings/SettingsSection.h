#pragma once

#include "RawValue.h"

#include <QList>
#include <QString>

namespace tavlin {

// The sections of the Settings window, in sidebar order. The raw value also names the section
// in "settings.reopenAfterRestart" and in the sidebar items' identifiers.
enum class SettingsSection { general, interface, quickPanel, privacy };

template <>
struct EnumCases<SettingsSection> {
    static constexpr EnumCase<SettingsSection> cases[] = {
        {SettingsSection::general, "general", QT_TRANSLATE_NOOP("Tavlin", "General")},
        {SettingsSection::interface, "interface", QT_TRANSLATE_NOOP("Tavlin", "Interface")},
        {SettingsSection::quickPanel, "quickPanel", QT_TRANSLATE_NOOP("Tavlin", "Quick Panel")},
        {SettingsSection::privacy, "privacy", QT_TRANSLATE_NOOP("Tavlin", "History & Privacy")},
    };
};

inline constexpr auto allSettingsSections = enumValues<SettingsSection>();
// The symbol the sidebar shows for the section.
QString symbol(SettingsSection section);

} // namespace tavlin
