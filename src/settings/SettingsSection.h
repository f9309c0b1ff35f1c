#pragma once

#include "RawValue.h"

#include <QList>
#include <QString>

namespace tavlin {

// The sections of the Settings window, in sidebar order. The raw value also names the section
// in "settings.reopenAfterRestart" and in the sidebar items' identifiers.
enum class SettingsSection { general, interface, quickPanel, privacy };

inline constexpr SettingsSection allSettingsSections[] = {SettingsSection::general, SettingsSection::interface,
                                                          SettingsSection::quickPanel, SettingsSection::privacy};

QString toRaw(SettingsSection section);
template<>
std::optional<SettingsSection> fromRaw<SettingsSection>(QStringView raw);
// The localized title ("General", "Interface", "Quick Panel", "History & Privacy").
QString title(SettingsSection section);
// The symbol the sidebar shows for the section.
QString symbol(SettingsSection section);

} // namespace tavlin
