#pragma once

#include "RawValue.h"

#include <QString>

namespace tavlin {

// The user's appearance choice: follow the desktop, or force light or dark. Its raw value is what
// the view preferences store under "interface.theme".
enum class ThemePreference { system, light, dark };

inline constexpr ThemePreference allThemePreferences[]
    = {ThemePreference::system, ThemePreference::light, ThemePreference::dark};

QString toRaw(ThemePreference preference);
template <> std::optional<ThemePreference> fromRaw<ThemePreference>(QStringView raw);
// The localized title ("Match System", "Light", "Dark").
QString title(ThemePreference preference);

} // namespace tavlin
