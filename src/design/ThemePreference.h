#pragma once

#include "RawValue.h"

#include <QString>

namespace tavlin {

// The user's appearance choice: follow the desktop, or force light or dark. Its raw value is what
// the view preferences store under "interface.theme".
enum class ThemePreference { system, light, dark };

template <>
struct EnumCases<ThemePreference> {
    static constexpr EnumCase<ThemePreference> cases[] = {
        {ThemePreference::system, "system", QT_TRANSLATE_NOOP("Tavlin", "Match System")},
        {ThemePreference::light, "light", QT_TRANSLATE_NOOP("Tavlin", "Light")},
        {ThemePreference::dark, "dark", QT_TRANSLATE_NOOP("Tavlin", "Dark")},
    };
};

inline constexpr auto allThemePreferences = enumValues<ThemePreference>();

} // namespace tavlin
