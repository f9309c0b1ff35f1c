// Not a test: renders every pane of the Settings window, a recording, a refusal, the restart
// notice, the question before records are deleted and the chooser of applications, light and
// dark, in English and Russian, into <build>/screenshots, for people to look at. Run by ./test.sh
// after the tests; fails only when a window does not come up.
#include "DesignTestSupport.h"
#include "ApplicationChooser.h"
#include "ExcludedApplicationsSection.h"
#include "PrivacySettingsPane.h"
#include "SettingsHarness.h"

#include <QComboBox>

#include <QMessageBox>

#include <QApplication>
#include <cstdio>

using namespace tavlin;
using namespace tavlin::test;

namespace {

bool shootAll()
{
    for (const QString language : {QStringLiteral("en"), QStringLiteral("ru")}) {
        ScopedLanguage scoped(language);
        for (bool dark : {false, true}) {
            SettingsHarness harness(SettingsSection::general, dark);
            harness.fill(290);
            harness.workspace.install({QStringLiteral("org.mozilla.firefox"), QStringLiteral("Firefox"),
                                       QStringLiteral("firefox"), QStringLiteral("/usr/share/applications/firefox.desktop")});
            harness.workspace.install({QStringLiteral("org.gnome.TextEditor"), QStringLiteral("Text Editor"),
                                       QStringLiteral("org.gnome.TextEditor"), QStringLiteral("/usr/share/applications/editor.desktop")});
            harness.exclusions.add(QStringLiteral("org.mozilla.firefox"));
            harness.exclusions.add(QStringLiteral("com.example.Gone"));
            const QString suffix = QStringLiteral("-%1-%2").arg(dark ? u"dark" : u"light", language);
            for (SettingsSection section : allSettingsSections) {
                harness.open(section);
                if (!harness.find(QStringLiteral("settings-detail")))
                    return false;
                saveScreenshot(*harness.window, QStringLiteral("settings-") + toRaw(section) + suffix);
            }
            harness.open(SettingsSection::quickPanel);
            harness.click(QStringLiteral("shortcut-recorder"));
            saveScreenshot(*harness.window, QStringLiteral("settings-recording") + suffix);
            harness.shortcut.finishRecording(ShortcutBinding{48, ShortcutBinding::controlKey});
            harness.settle();
            saveScreenshot(*harness.window, QStringLiteral("settings-shortcut-error") + suffix);
            harness.open(SettingsSection::privacy);
            auto* count = harness.find<QComboBox>(QStringLiteral("retention-count"));
            count->activated(count->findText(QLocale().toString(250)));
            auto* pane = harness.window->findChild<PrivacySettingsPane*>();
            if (!QTest::qWaitFor([&] { return pane->confirmation() && pane->confirmation()->isVisible(); }, 10000))
                return false;
            saveScreenshot(*pane->confirmation(), QStringLiteral("settings-confirmation") + suffix);
            pane->confirmation()->reject();
            harness.window->findChild<ExcludedApplicationsSection*>()->chooseApplication();
            harness.settle();
            saveScreenshot(*harness.window->findChild<ApplicationChooser*>(), QStringLiteral("settings-chooser") + suffix);
            harness.window->findChild<ApplicationChooser*>()->reject();
            harness.open(SettingsSection::interface);
            harness.language.select(language == u"en" ? LanguagePreference::russian : LanguagePreference::english);
            harness.settle();
            saveScreenshot(*harness.window, QStringLiteral("settings-restart-notice") + suffix);
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // Fixed font and language, so that the pictures are the same everywhere.
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans")));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    installEnglishTexts();
    if (shootAll())
        return 0;
    std::fprintf(stderr, "a Settings window did not come up\n");
    return 1;
}
