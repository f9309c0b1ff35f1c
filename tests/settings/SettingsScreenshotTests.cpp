// Every pane of the Settings window rendered light and dark, in English and Russian, into
// <build>/screenshots, for a person to look at; the test fails only when a pane cannot be shown.
#include "DesignTestSupport.h"
#include "SettingsHarness.h"

#include <QMessageBox>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

TEST(SettingsScreenshots, EveryPaneLightAndDarkInBothLanguages)
{
    for (const QString language : {QStringLiteral("en"), QStringLiteral("ru")}) {
        ScopedLanguage scoped(language);
        for (bool dark : {false, true}) {
            SettingsHarness harness(SettingsSection::general, dark);
            harness.exclusions.add(QStringLiteral("org.mozilla.firefox"));
            harness.exclusions.add(QStringLiteral("com.example.Gone"));
            const QString suffix = QStringLiteral("-%1-%2").arg(dark ? u"dark" : u"light", language);
            for (SettingsSection section : allSettingsSections) {
                harness.open(section);
                ASSERT_TRUE(harness.find(QStringLiteral("settings-detail")));
                saveScreenshot(*harness.window, QStringLiteral("settings-") + toRaw(section) + suffix);
            }
            harness.open(SettingsSection::quickPanel);
            harness.click(QStringLiteral("shortcut-recorder"));
            saveScreenshot(*harness.window, QStringLiteral("settings-recording") + suffix);
            harness.shortcut.finishRecording(ShortcutBinding{48, ShortcutBinding::controlKey});
            harness.settle();
            saveScreenshot(*harness.window, QStringLiteral("settings-shortcut-error") + suffix);
            harness.open(SettingsSection::interface);
            harness.language.select(language == u"en" ? LanguagePreference::russian : LanguagePreference::english);
            harness.settle();
            saveScreenshot(*harness.window, QStringLiteral("settings-restart-notice") + suffix);
        }
    }
}
