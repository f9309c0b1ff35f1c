#pragma once

#include "RawValue.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace tavlin {

// The user's choice of interface language in Settings: follow the system, or Russian or English
// whatever the system says.
enum class LanguagePreference { system, russian, english };

inline constexpr LanguagePreference allLanguagePreferences[] = {LanguagePreference::system, LanguagePreference::russian,
                                                                LanguagePreference::english};

QString toRaw(LanguagePreference preference);
template<>
std::optional<LanguagePreference> fromRaw<LanguagePreference>(QStringView raw);

// The localized "System Default", else the language's own name for itself, capitalized
// ("Русский", "English"), the same in either interface language.
QString title(LanguagePreference preference);

// What the choice stores under "AppleLanguages": ["ru"], ["en"], or nothing (the key removed).
std::optional<QStringList> storedLanguages(LanguagePreference preference);

} // namespace tavlin
