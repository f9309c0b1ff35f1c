#pragma once

#include "RawValue.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace tavlin {

// The user's choice of interface language in Settings: follow the system, or Russian or English
// whatever the system says.
enum class LanguagePreference { system, russian, english };

template <>
struct EnumCases<LanguagePreference> {
    static constexpr EnumCase<LanguagePreference> cases[] = {
        {LanguagePreference::system, "system"},
        {LanguagePreference::russian, "russian"},
        {LanguagePreference::english, "english"},
    };
};

inline constexpr auto allLanguagePreferences = enumValues<LanguagePreference>();

// The localized "System Default", else the language's own name for itself, capitalized
// ("Русский", "English"), the same in either interface language.
QString title(LanguagePreference preference);

// What the choice stores under "AppleLanguages": ["ru"], ["en"], or nothing (the key removed).
std::optional<QStringList> storedLanguages(LanguagePreference preference);

} // namespace tavlin
