#pragma once

#include "LanguagePreference.h"
#include "TavlinLanguage.h"

#include <QObject>
#include <QStringList>

#include <functional>

namespace tavlin {

class Defaults;

// The stored interface-language choice behind Settings. A choice is written at once under
// "AppleLanguages" in the application's defaults and used from the next launch; this object
// knows whether the running language differs from it, and holds the relaunch action that the
// application delegate installs. Main thread only.
//
// Our defaults store is the application's own domain and nothing else (there is no merged global
// domain to hide), so the choice is read straight from it.
class LanguageSettings : public QObject {
    Q_OBJECT

public:
    LanguageSettings(Defaults& defaults, TavlinLanguage running,
                     std::function<QStringList()> systemLanguages = &LanguageSettings::systemLanguages,
                     QObject* parent = nullptr);

    // The stored choice: the first entry of an array of strings under "AppleLanguages", by its
    // language code; anything else, missing or foreign, is the system choice.
    static LanguagePreference stored(const Defaults& defaults);
    // The desktop's preferred interface languages (LANGUAGE, LC_MESSAGES, LANG), most preferred
    // first.
    static QStringList systemLanguages();

    LanguagePreference preference() const { return preference_; }
    TavlinLanguage running() const { return running_; }
    // The choice asks for another language than the one this process runs in.
    bool needsRestart() const;

    // Stores the choice (nothing at all when it is the current one); relaunches nothing.
    void select(LanguagePreference preference);

    // The Restart button's action: asks for a relaunch, which the delegate carries out.
    void relaunch() { Q_EMIT relaunchRequested(); }

Q_SIGNALS:
    void preferenceChanged();
    void relaunchRequested();

private:
    Defaults& defaults_;
    TavlinLanguage running_;
    std::function<QStringList()> systemLanguages_;
    LanguagePreference preference_;
};

} // namespace tavlin
