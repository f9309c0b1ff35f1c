#pragma once

#include "ThemeAppearance.h"

namespace tavlin {

class SystemAppearance;

// The theme of a window's root content, bound to the view preferences: the window follows every
// change of the preferred theme. `Preferences` is the shell's view preferences (anything with
// themePreference() and a themePreferenceChanged() signal).
struct WindowTheme {
    template <class Preferences>
    static ThemeAppearance* apply(QWidget* content, SystemAppearance& system, Preferences& preferences)
    {
        auto* theme = new ThemeAppearance(content, system, preferences.themePreference());
        QObject::connect(&preferences, &Preferences::themePreferenceChanged, theme,
                         [theme, source = &preferences] { theme->setPreference(source->themePreference()); });
        return theme;
    }
};

} // namespace tavlin
