#include "TavlinLanguage.h"

#include "Defaults.h"
#include "LanguageSettings.h"
#include "Log.h"
#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <mutex>
#include <optional>

namespace tavlin {

namespace {

std::once_flag runningOnce;
std::optional<TavlinLanguage> running;

} // namespace

QString TavlinLanguage::code() const
{
    return toRaw(*this);
}

QLocale TavlinLanguage::locale(const QLocale& base) const
{
    return QLocale(value_ == russian ? QLocale::Russian : QLocale::English, base.territory());
}

QString TavlinLanguage::languageCode(const QString& identifier)
{
    qsizetype end = 0;
    while (end < identifier.size() && identifier.at(end).isLetter())
        ++end;
    return identifier.left(end).toLower();
}

TavlinLanguage TavlinLanguage::matching(const QStringList& preferences)
{
    for (const QString& preference : preferences) {
        if (const std::optional<TavlinLanguage> language = fromRaw<TavlinLanguage>(languageCode(preference)))
            return *language;
    }
    return development();
}

TavlinLanguage TavlinLanguage::resolve(const Defaults& defaults, const QStringList& systemLanguages)
{
    // The stored choice goes first, as the system would put an application's own language list;
    // a foreign stored value then simply falls through to the system's languages.
    return matching(defaults.stringArray(QStringLiteral("AppleLanguages")).value_or(QStringList()) + systemLanguages);
}

void TavlinLanguage::install(const Defaults& defaults)
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    std::call_once(runningOnce, [&] { running = resolve(defaults, LanguageSettings::systemLanguages()); });

    // Translators searched last are installed first: Russian, when loaded, answers before the
    // English plural forms.
    auto* english = new QTranslator(QCoreApplication::instance());
    if (Translations::load(*english, QStringLiteral("en")))
        QCoreApplication::installTranslator(english);
    if (current() == russian) {
        // Qt's own windows (the file chooser, a text field's menu) speak it too.
        auto* qt = new QTranslator(QCoreApplication::instance());
        if (qt->load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(qt);
        auto* translation = new QTranslator(QCoreApplication::instance());
        if (Translations::load(*translation, current().code()))
            QCoreApplication::installTranslator(translation);
        else
            Log::error(QStringLiteral("The Russian interface translation is missing; the interface stays in English."));
    }
    QLocale::setDefault(locale());
}

TavlinLanguage TavlinLanguage::current()
{
    std::call_once(runningOnce, [] { running = matching(LanguageSettings::systemLanguages()); });
    return *running;
}

QLocale TavlinLanguage::locale()
{
    static const QLocale value = current().locale(QLocale::system());
    return value;
}

QString localizedCount(qint64 value)
{
    return TavlinLanguage::locale().toString(value);
}

} // namespace tavlin
