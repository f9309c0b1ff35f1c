#include "ThemePreference.h"

#include <QCoreApplication>

namespace tavlin {

QString toRaw(ThemePreference preference)
{
    switch (preference) {
    case ThemePreference::system: return QStringLiteral("system");
    case ThemePreference::light: return QStringLiteral("light");
    case ThemePreference::dark: return QStringLiteral("dark");
    }
    return QStringLiteral("system");
}

template <> std::optional<ThemePreference> fromRaw<ThemePreference>(QStringView raw)
{
    for (ThemePreference preference : allThemePreferences) {
        if (raw == toRaw(preference))
            return preference;
    }
    return std::nullopt;
}

QString title(ThemePreference preference)
{
    switch (preference) {
    case ThemePreference::system: return QCoreApplication::translate("Tavlin", "Match System");
    case ThemePreference::light: return QCoreApplication::translate("Tavlin", "Light");
    case ThemePreference::dark: return QCoreApplication::translate("Tavlin", "Dark");
    }
    return {};
}

} // namespace tavlin
