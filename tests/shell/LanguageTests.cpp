#include "InMemoryDefaults.h"
#include "LanguagePreference.h"
#include "LanguageSettings.h"
#include "PlistDefaults.h"
#include "TavlinLanguage.h"
#include "TemporaryFolder.h"

#include <QProcess>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

const QString languagesKey = QStringLiteral("AppleLanguages");

InMemoryDefaults storing(const QVariant& languages)
{
    return InMemoryDefaults({{languagesKey, languages}});
}

// What a fresh process prints after its start-up installed the language.
QMap<QString, QString> startUp(const QVariant& storedLanguages, const QProcessEnvironment& system)
{
    TemporaryFolder folder;
    const QString defaultsPath = folder.path() + QStringLiteral("/defaults.plist");
    {
        PlistDefaults defaults(defaultsPath);
        defaults.setObject(languagesKey, storedLanguages);
    }
    QProcessEnvironment environment = system;
    environment.insert(QStringLiteral("TAVLIN_PROBE_DEFAULTS"), defaultsPath);
    QProcess probe;
    probe.setProcessEnvironment(environment);
    probe.start(QStringLiteral(TAVLIN_TEST_LANGUAGE_PROBE), {QStringLiteral("language")});
    EXPECT_TRUE(probe.waitForFinished(30'000));
    EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
    QMap<QString, QString> values;
    for (const QString& line : QString::fromUtf8(probe.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts))
        values.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
    return values;
}

QProcessEnvironment systemSpeaking(const QString& lang, const QString& language = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("LC_ALL"));
    environment.remove(QStringLiteral("LC_MESSAGES"));
    environment.insert(QStringLiteral("LANG"), lang);
    environment.insert(QStringLiteral("LANGUAGE"), language);
    return environment;
}

} // namespace

TEST(TavlinLanguage, MatchesTheFirstSupportedPreferenceElseEnglish)
{
    using L = TavlinLanguage;
    EXPECT_EQ(L::matching({"de", "ru", "en"}), L::russian);
    EXPECT_EQ(L::matching({"de", "fr"}), L::english);
    EXPECT_EQ(L::matching({}), L::english);
    EXPECT_EQ(L::matching({"ru-RU", "en-US"}), L::russian);
    EXPECT_EQ(L::matching({"en_GB.UTF-8", "ru"}), L::english);
    EXPECT_EQ(L::matching({"RU"}), L::russian);
    EXPECT_EQ(L::matching({"C", "rus", "eng"}), L::english) << "three-letter codes are other languages";
    EXPECT_EQ(L::languageCode(QStringLiteral("pt_BR.UTF-8@euro")), QStringLiteral("pt"));
    EXPECT_EQ(L::languageCode(QStringLiteral("zh-Hans-CN")), QStringLiteral("zh"));
}

TEST(TavlinLanguage, StoredChoiceGoesBeforeTheSystemAndForeignValuesFallThrough)
{
    using L = TavlinLanguage;
    EXPECT_EQ(L::resolve(storing(QStringList{"ru"}), {"en-US", "en"}), L::russian);
    EXPECT_EQ(L::resolve(storing(QStringList{"en"}), {"ru-RU", "ru"}), L::english);
    EXPECT_EQ(L::resolve(InMemoryDefaults(), {"ru-RU", "ru"}), L::russian);
    EXPECT_EQ(L::resolve(InMemoryDefaults(), {"de-DE", "fr"}), L::english);
    EXPECT_EQ(L::resolve(storing(QStringList{"pt-BR"}), {"ru"}), L::russian)
        << "a foreign choice reads as the system's";
    EXPECT_EQ(L::resolve(storing(QStringLiteral("en")), {"ru"}), L::russian) << "a plain string is no language list";
    EXPECT_EQ(L::resolve(storing(QVariantList{qint64(1), QStringLiteral("en")}), {"ru"}), L::russian);
}

TEST(TavlinLanguage, LocaleTakesTheLanguageAndKeepsTheRegionWhereQtHasIt)
{
    const QLocale english = TavlinLanguage(TavlinLanguage::english).locale(QLocale(QStringLiteral("de_DE")));
    EXPECT_EQ(english.language(), QLocale::English);
    EXPECT_EQ(english.territory(), QLocale::Germany);
    EXPECT_EQ(english.toString(12345), QStringLiteral("12.345")) << "the region's grouping stays";

    const QLocale russian = TavlinLanguage(TavlinLanguage::russian).locale(QLocale(QStringLiteral("en_US")));
    EXPECT_EQ(russian.language(), QLocale::Russian);
    EXPECT_EQ(russian.toString(12345), QStringLiteral("12\u00a0345"));
}

TEST(TavlinLanguage, StartUpTakesTheStoredChoiceElseTheSystemsLanguage)
{
    const QMap<QString, QString> russian = startUp(QStringList{"ru"}, systemSpeaking(QStringLiteral("en_US.UTF-8")));
    EXPECT_EQ(russian.value(QStringLiteral("language")), QStringLiteral("ru"));
    EXPECT_TRUE(russian.value(QStringLiteral("locale")).startsWith(QStringLiteral("ru_")));
    EXPECT_EQ(russian.value(QStringLiteral("count")), QStringLiteral("12\u00a0345"));
    EXPECT_EQ(russian.value(QStringLiteral("text")), QStringLiteral("Избранное"));

    const QMap<QString, QString> english = startUp(QVariant(), systemSpeaking(QStringLiteral("en_US.UTF-8")));
    EXPECT_EQ(english.value(QStringLiteral("language")), QStringLiteral("en"));
    EXPECT_EQ(english.value(QStringLiteral("locale")), QStringLiteral("en_US"));
    EXPECT_EQ(english.value(QStringLiteral("count")), QStringLiteral("12,345"));
    EXPECT_EQ(english.value(QStringLiteral("text")), QStringLiteral("Favorites"));

    const QMap<QString, QString> fromSystem = startUp(
        QVariant(), systemSpeaking(QStringLiteral("de_DE.UTF-8"), QStringLiteral("de:ru:en")));
    EXPECT_EQ(fromSystem.value(QStringLiteral("text")), QStringLiteral("Избранное"));
    const QMap<QString, QString> chosen = startUp(QStringList{"en"}, systemSpeaking(QStringLiteral("ru_RU.UTF-8")));
    EXPECT_EQ(chosen.value(QStringLiteral("text")), QStringLiteral("Favorites"));
}

TEST(LanguageSettings, ReadsTheStoredChoiceByItsFirstEntry)
{
    EXPECT_EQ(LanguageSettings::stored(storing(QStringList{"ru-RU"})), LanguagePreference::russian);
    EXPECT_EQ(LanguageSettings::stored(storing(QStringList{"en-GB", "ru"})), LanguagePreference::english);
    EXPECT_EQ(LanguageSettings::stored(storing(QStringList{"pt-BR"})), LanguagePreference::system);
    EXPECT_EQ(LanguageSettings::stored(storing(QStringList{})), LanguagePreference::system);
    EXPECT_EQ(LanguageSettings::stored(storing(QStringLiteral("ru"))), LanguagePreference::system);
    EXPECT_EQ(LanguageSettings::stored(storing(QVariantList{QStringLiteral("ru"), true})), LanguagePreference::system);
    EXPECT_EQ(LanguageSettings::stored(InMemoryDefaults()), LanguagePreference::system);
}

TEST(LanguageSettings, SelectingWritesOnlyAChangeAndNeverRelaunches)
{
    InMemoryDefaults defaults;
    int relaunches = 0;
    LanguageSettings settings(defaults, TavlinLanguage::english, [] { return QStringList{"en"}; });
    QObject::connect(&settings, &LanguageSettings::relaunchRequested, [&] { ++relaunches; });
    int changes = 0;
    QObject::connect(&settings, &LanguageSettings::preferenceChanged, [&] { ++changes; });

    settings.select(LanguagePreference::system);
    EXPECT_TRUE(defaults.writtenKeys().isEmpty()) << "the current choice writes nothing";
    EXPECT_EQ(changes, 0);

    settings.select(LanguagePreference::russian);
    EXPECT_EQ(defaults.stringArray(languagesKey), QStringList{"ru"});
    EXPECT_EQ(settings.preference(), LanguagePreference::russian);
    EXPECT_TRUE(settings.needsRestart());

    settings.select(LanguagePreference::english);
    EXPECT_EQ(defaults.stringArray(languagesKey), QStringList{"en"});
    EXPECT_FALSE(settings.needsRestart()) << "back to the running language hides the notice";

    settings.select(LanguagePreference::system);
    EXPECT_FALSE(defaults.object(languagesKey).isValid());
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(relaunches, 0);
    settings.relaunch();
    EXPECT_EQ(relaunches, 1);

    EXPECT_EQ(LanguageSettings(defaults, TavlinLanguage::russian).preference(), LanguagePreference::system);
}

TEST(LanguageSettings, SystemChoiceNeedsARestartOnlyWhenTheSystemAsksForAnotherLanguage)
{
    InMemoryDefaults defaults;
    const auto systemRussian = [] { return QStringList{"ru-RU", "en-US"}; };
    EXPECT_FALSE(LanguageSettings(defaults, TavlinLanguage::russian, systemRussian).needsRestart());
    EXPECT_TRUE(LanguageSettings(defaults, TavlinLanguage::english, systemRussian).needsRestart());
    EXPECT_FALSE(LanguageSettings(defaults, TavlinLanguage::english, [] {
                     return QStringList{"de", "fr"};
                 }).needsRestart());

    InMemoryDefaults russianChosen({{languagesKey, QStringList{"ru"}}});
    EXPECT_FALSE(
        LanguageSettings(russianChosen, TavlinLanguage::russian, [] { return QStringList{"en"}; }).needsRestart());
    EXPECT_TRUE(
        LanguageSettings(russianChosen, TavlinLanguage::english, [] { return QStringList{"ru"}; }).needsRestart());
}
