#include "LanguagePreference.h"

#include <QCoreApplication>
#include <QLocale>

namespace tavlin {

namespace {

// The name of a language in that language, capitalized word by word in its own locale.
QString ownName(const QString& code)
{
    const QLocale locale(code);
    if (locale.language() == QLocale::C)
        return code;
    // Qt names its default English by a regional variant ("American English"); the language's own
    // name is its English name.
    const QString name = locale.language() == QLocale::English ? QLocale::languageToString(QLocale::English)
                                                               : locale.nativeLanguageName();
    if (name.isEmpty())
        return code;
    QString capitalized;
    bool wordStart = true;
    for (const QChar character : name) {
        capitalized += wordStart ? locale.toUpper(QString(character)) : QString(character);
        wordStart = character.isSpace();
    }
    return capitalized;
}

} // namespace

QString title(LanguagePreference preference)
{
    switch (preference) {
    case LanguagePreference::system: return QCoreApplication::translate("Tavlin", "System Default");
    case LanguagePreference::russian: return ownName(QStringLiteral("ru"));
    case LanguagePreference::english: return ownName(QStringLiteral("en"));
    }
    return {};
}

std::optional<QStringList> storedLanguages(LanguagePreference preference)
{
    switch (preference) {
    case LanguagePreference::system: return std::nullopt;
    case LanguagePreference::russian: return QStringList{QStringLiteral("ru")};
    case LanguagePreference::english: return QStringList{QStringLiteral("en")};
    }
    return std::nullopt;
}

} // namespace tavlin
