// Every pane of the Settings window, a recording, a refusal, the restart notice, the question
// before records are deleted, a picker's list, the chooser of applications and the update
// check's message.
#include "Screenshots.h"

#include "ApplicationChooser.h"
#include "ExcludedApplicationsSection.h"
#include "MessageBoxUpdateDriver.h"
#include "PrivacySettingsPane.h"
#include "SettingsHarness.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QTemporaryDir>

namespace tavlin::test {

namespace {

// The question before records are deleted, then the chooser of applications.
void dialogs(SettingsHarness& harness, const QString& suffix)
{
    harness.open(SettingsSection::privacy);
    auto* count = harness.find<QComboBox>(QStringLiteral("retention-count"));
    count->activated(count->findText(QLocale().toString(250)));
    auto* pane = harness.window->findChild<PrivacySettingsPane*>();
    if (QTest::qWaitFor([&] { return pane->confirmation() && pane->confirmation()->isVisible(); }, 10000)) {
        shoot(*pane->confirmation(), QStringLiteral("settings-confirmation") + suffix);
        pane->confirmation()->reject();
    } else {
        problem(QStringLiteral("settings-confirmation") + suffix,
                QStringLiteral("no question before deleting records"));
    }
    harness.window->findChild<ExcludedApplicationsSection*>()->chooseApplication();
    harness.settle();
    shoot(*harness.window->findChild<ApplicationChooser*>(), QStringLiteral("settings-chooser") + suffix);
    harness.window->findChild<ApplicationChooser*>()->reject();
}

// The update check's message, a window of its own that takes the look of the window last themed.
void updateMessage(const QString& suffix)
{
    MessageBoxUpdateDriver driver({});
    driver.show({UpdateCheckResult::State::updateAvailable,
                 QCoreApplication::translate("Tavlin",
                                             "Tavlin %1 is available; you have %2. Install it with your package "
                                             "manager or get it from the download page.")
                     .arg(QStringLiteral("2.1"), QStringLiteral("2.0")),
                 QStringLiteral("2.1"), QUrl(QStringLiteral("https://tavlin.example.org/download"))});
    QMessageBox* box = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* message = qobject_cast<QMessageBox*>(window); message && message->isVisible())
            box = message;
    }
    if (!box) {
        problem(QStringLiteral("update-message") + suffix, QStringLiteral("no message"));
        return;
    }
    QTest::qWait(50);
    shoot(*box, QStringLiteral("update-message") + suffix);
    box->close();
}

} // namespace

void settingsScreenshots()
{
    for (const QString& language : {QStringLiteral("en"), QStringLiteral("ru")}) {
        ScopedLanguage scoped(language);
        for (bool dark : {false, true}) {
            SettingsHarness harness(SettingsSection::general, dark);
            harness.fill(290);
            installApplications(harness.workspace, harness.icons);
            harness.exclusions.add(QStringLiteral("org.mozilla.firefox"));
            harness.exclusions.add(QStringLiteral("com.example.Gone"));
            const QString suffix = QStringLiteral("-%1-%2").arg(dark ? u"dark" : u"light", language);
            for (SettingsSection section : allSettingsSections) {
                harness.open(section);
                const QString name = QStringLiteral("settings-") + toRaw(section) + suffix;
                if (!harness.find(QStringLiteral("settings-detail")))
                    problem(name, QStringLiteral("the pane did not come up"));
                shoot(*harness.window, name);
            }
            harness.open(SettingsSection::quickPanel);
            harness.click(QStringLiteral("shortcut-recorder"));
            shoot(*harness.window, QStringLiteral("settings-recording") + suffix);
            harness.shortcut.finishRecording(ShortcutBinding{48, ShortcutBinding::controlKey});
            harness.settle();
            shoot(*harness.window, QStringLiteral("settings-shortcut-error") + suffix);
            harness.open(SettingsSection::privacy);
            auto* count = harness.find<QComboBox>(QStringLiteral("retention-count"));
            count->showPopup();
            harness.settle();
            if (QWidget* popup = count->view() ? count->view()->window() : nullptr; popup && popup->isVisible())
                shoot(*popup, QStringLiteral("settings-picker") + suffix);
            else
                problem(QStringLiteral("settings-picker") + suffix, QStringLiteral("the picker did not open"));
            count->hidePopup();
            dialogs(harness, suffix);
            updateMessage(suffix);
            harness.open(SettingsSection::interface);
            harness.language.select(language == u"en" ? LanguagePreference::russian : LanguagePreference::english);
            harness.settle();
            shoot(*harness.window, QStringLiteral("settings-restart-notice") + suffix);
        }
    }
    for (bool dark : {false, true}) {
        SettingsHarness harness(SettingsSection::privacy, dark);
        harness.appearance.setIncreasedContrast(true);
        harness.fill(290);
        installApplications(harness.workspace, harness.icons);
        dialogs(harness, QStringLiteral("-%1-contrast-en").arg(dark ? u"dark" : u"light"));
        updateMessage(QStringLiteral("-%1-contrast-en").arg(dark ? u"dark" : u"light"));
    }
}

} // namespace tavlin::test
