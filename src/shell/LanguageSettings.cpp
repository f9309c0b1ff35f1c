#include "LanguageSettings.h"

#include "Defaults.h"
#include "StoredPreferences.h"

#include <QLocale>

namespace tavlin {

LanguageSettings::LanguageSettings(Defaults& defaults, TavlinLanguage running,
                                   std::function<QStringList()> systemLanguages, QObject* parent)
    : QObject(parent), defaults_(defaults), running_(running), systemLanguages_(std::move(systemLanguages)),
      preference_(stored(defaults))
{
}

LanguagePreference LanguageSettings::stored(const Defaults& defaults)
{
    const std::optional<QStringList> languages = defaults.stringArray(StoredPreferences::languages.key);
    if (!languages || languages->isEmpty())
        return LanguagePreference::system;
    const QString code = TavlinLanguage::languageCode(languages->first());
    if (code == u"ru")
        return LanguagePreference::russian;
    if (code == u"en")
        return LanguagePreference::english;
    return LanguagePreference::system;
}

QStringList LanguageSettings::systemLanguages()
{
    return QLocale::system().uiLanguages();
}

bool LanguageSettings::needsRestart() const
{
    switch (preference_) {
    case LanguagePreference::system: return TavlinLanguage::matching(systemLanguages_()) != running_;
    case LanguagePreference::russian: return running_ != TavlinLanguage::russian;
    case LanguagePreference::english: return running_ != TavlinLanguage::english;
    }
    return false;
}

void LanguageSettings::select(LanguagePreference preference)
{
    if (preference == preference_)
        return;
    if (const std::optional<QStringList> languages = storedLanguages(preference))
        defaults_.setStringArray(StoredPreferences::languages.key, *languages);
    else
        defaults_.removeObject(StoredPreferences::languages.key);
    preference_ = preference;
    Q_EMIT preferenceChanged();
}

} // namespace tavlin
