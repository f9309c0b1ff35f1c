// The Settings window's root, sidebar and the General and Interface panes, offscreen over real
// controllers: what each control shows is what its controller took.
#include "KeyboardFocus.h"
#include "SettingsHarness.h"
#include "SettingsPicker.h"
#include "SettingsRowSeparator.h"
#include "SettingsSidebar.h"
#include "StoredPreferences.h"
#include "SwitchToggle.h"
#include "ThemeAppearance.h"

#include <QAccessible>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

QString accessibleName(QWidget* widget)
{
    QAccessibleInterface* accessible = widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
    return accessible ? accessible->text(QAccessible::Name) : QStringLiteral("<none>");
}

void pressKey(QWidget* widget, int key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

QString captionText(const SettingsHarness& harness, const QString& identifier)
{
    auto* caption = harness.find<QLabel>(identifier);
    return caption && caption->isVisible() ? caption->text() : QString();
}

} // namespace

TEST(SettingsRoot, OffersTheSectionsItsServicesAllowAndCorrectsAnUnavailableSelection)
{
    SettingsHarness harness(SettingsSection::general);
    QStringList items;
    for (QAbstractButton* item : harness.find(QStringLiteral("settings-sidebar"))->findChildren<QAbstractButton*>())
        items.append(item->objectName() + QLatin1Char('=') + accessibleName(item));
    EXPECT_EQ(items,
              (QStringList{QStringLiteral("settings-section-general=General"),
                           QStringLiteral("settings-section-interface=Interface"),
                           QStringLiteral("settings-section-quickPanel=Quick Panel"),
                           QStringLiteral("settings-section-privacy=History & Privacy")}));
    EXPECT_EQ(accessibleName(harness.find(QStringLiteral("settings-sidebar"))), QStringLiteral("Settings sections"));

    // Without services, or without a shortcut, the selection falls back to Interface.
    for (bool withServices : {false, true}) {
        SettingsNavigation navigation(withServices ? SettingsSection::quickPanel : SettingsSection::general);
        TavlinSettingsView view(
            {harness.preferences,
             navigation,
             &harness.appearance,
             withServices ? nullptr : &harness.shortcut,
             withServices ? std::optional(SettingsServices{harness.model, harness.launchAtLogin, harness.exclusions,
                                                           harness.retention, harness.updates, harness.sourceIcons})
                          : std::nullopt,
             &harness.language,
             {}});
        EXPECT_EQ(view.availableSections().size(), withServices ? 3 : 2);
        view.show();
        harness.settle();
        EXPECT_EQ(navigation.section(), SettingsSection::interface);
        EXPECT_EQ(accessibleName(view.findChild<QWidget*>(QStringLiteral("settings-detail"))),
                  QStringLiteral("Interface"));
    }

    // With neither, the Interface pane alone, without the language group; the selection is left alone.
    SettingsNavigation navigation(SettingsSection::privacy);
    TavlinSettingsView alone(
        {harness.preferences, navigation, &harness.appearance, nullptr, std::nullopt, &harness.language, {}});
    alone.show();
    harness.settle();
    EXPECT_FALSE(alone.findChild<SettingsSidebar*>());
    EXPECT_FALSE(alone.findChild<QWidget*>(QStringLiteral("interface-language")));
    EXPECT_EQ(alone.detailPane()->size(), QSize(500, 360));
    EXPECT_EQ(navigation.section(), SettingsSection::privacy);
}

TEST(SettingsRoot, TheSidebarStepsWithArrowsAndRingsOnlyAfterAKey)
{
    SettingsHarness harness(SettingsSection::general);
    auto* sidebar = harness.find<SettingsSidebar>(QStringLiteral("settings-sidebar"));
    harness.window->activateWindow();
    harness.settle();
    EXPECT_TRUE(sidebar->hasFocus()) << "the arrows work as soon as the window opens";
    EXPECT_FALSE(sidebar->showsFocus());
    pressKey(sidebar, Qt::Key_Up);
    EXPECT_EQ(harness.navigation.section(), SettingsSection::general) << "no wrapping around";
    EXPECT_TRUE(sidebar->showsFocus());
    for (int i = 0; i < 5; ++i)
        pressKey(sidebar, Qt::Key_Down);
    harness.settle();
    EXPECT_EQ(harness.navigation.section(), SettingsSection::privacy);
    EXPECT_EQ(accessibleName(harness.find(QStringLiteral("settings-detail"))), QStringLiteral("History & Privacy"));
    EXPECT_TRUE(harness.find<QAbstractButton>(QStringLiteral("settings-section-privacy"))->isChecked());

    harness.click(QStringLiteral("settings-section-quickPanel"));
    EXPECT_EQ(harness.navigation.section(), SettingsSection::quickPanel);
    EXPECT_FALSE(sidebar->showsFocus()) << "a click selects without a ring";
    EXPECT_TRUE(harness.find<QAbstractButton>(QStringLiteral("settings-section-quickPanel"))->isChecked());
    EXPECT_FALSE(harness.find<QAbstractButton>(QStringLiteral("settings-section-privacy"))->isChecked());
    EXPECT_TRUE(harness.shows(QStringLiteral("shortcut-recorder")));
    EXPECT_FALSE(harness.find(QStringLiteral("retention-count"))) << "the last pane is gone, not hidden";
}

TEST(SettingsRoot, TabShowsWhereTheFocusLandsAndAPickersListKeepsIt)
{
    SettingsHarness harness(SettingsSection::privacy);
    harness.exclusions.add(QStringLiteral("org.example.Gone"));
    harness.window->activateWindow();
    harness.settle();
    for (const QString& identifier :
         {QStringLiteral("add-excluded-application"), QStringLiteral("remove-exclusion-org.example.Gone")}) {
        QWidget* button = harness.find(identifier);
        const QImage unfocused = button->grab().toImage();
        button->setFocus(Qt::TabFocusReason);
        harness.settle();
        EXPECT_NE(button->grab().toImage(), unfocused) << identifier.toStdString() << " draws no focus ring";
    }
    auto* sidebar = harness.find<SettingsSidebar>(QStringLiteral("settings-sidebar"));
    sidebar->setFocus(Qt::BacktabFocusReason);
    EXPECT_TRUE(sidebar->showsFocus()) << "tabbed into, the sidebar shows its selected row ringed";
    QStringList order;
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order.append(QApplication::focusWidget()->objectName());
    }
    EXPECT_EQ(order,
              (QStringList{QStringLiteral("remove-exclusion-org.example.Gone"),
                           QStringLiteral("add-excluded-application"), QStringLiteral("retention-count")}))
        << "Tab follows the list as it reads";
    sidebar->setFocus(Qt::BacktabFocusReason);

    auto* picker = harness.find<SettingsPicker>(QStringLiteral("retention-count"));
    picker->setFocus(Qt::TabFocusReason);
    picker->showPopup();
    harness.settle();
    picker->hidePopup();
    harness.settle();
    EXPECT_TRUE(picker->hasFocus());
    EXPECT_TRUE(KeyboardFocus::showsRing(picker)) << "the ring survives the picker's own list";
}

TEST(SettingsRoot, EveryControlIsNamedForAssistiveTechnology)
{
    SettingsHarness harness;
    harness.exclusions.add(QStringLiteral("org.example.Gone"));
    const QList<std::pair<SettingsSection, QList<std::pair<QString, QString>>>> panes{
        {SettingsSection::general,
         {{QStringLiteral("launch-at-login"), QStringLiteral("Open Tavlin at login")},
          {QStringLiteral("automatic-update-checks"), QStringLiteral("Check for updates automatically")},
          {QStringLiteral("open-download-page"), QStringLiteral("Open Download Page")}}},
        {SettingsSection::interface,
         {{QStringLiteral("interface-theme"), QStringLiteral("Theme")},
          {QStringLiteral("interface-view-mode"), QStringLiteral("History view")},
          {QStringLiteral("interface-show-preview"), QStringLiteral("Show preview")},
          {QStringLiteral("interface-language"), QStringLiteral("App language")}}},
        {SettingsSection::quickPanel,
         {{QStringLiteral("shortcut-recorder"), QStringLiteral("Change Quick Panel shortcut")}}},
        {SettingsSection::privacy,
         {{QStringLiteral("retention-count"), QStringLiteral("Number of records")},
          {QStringLiteral("retention-bytes"), QStringLiteral("Record data size")},
          {QStringLiteral("add-excluded-application"), QStringLiteral("Add App")},
          {QStringLiteral("remove-exclusion-org.example.Gone"),
           QStringLiteral("Remove org.example.Gone from exclusions")}}},
    };
    for (const auto& [section, controls] : panes) {
        harness.open(section);
        for (const auto& [identifier, name] : controls)
            EXPECT_EQ(accessibleName(harness.find(identifier)), name) << identifier.toStdString();
        QAccessibleInterface* tab = QAccessible::queryAccessibleInterface(
            harness.find(QStringLiteral("settings-section-") + toRaw(section)));
        EXPECT_EQ(tab->role(), QAccessible::PageTab);
        EXPECT_TRUE(tab->state().selected);
    }
    // Symbols and hairlines are not read out.
    for (QWidget* decoration : harness.window->findChildren<SettingsRowSeparator*>())
        EXPECT_TRUE(QAccessible::queryAccessibleInterface(decoration)->state().invisible);
}

TEST(InterfacePane, ChoicesGoToThePreferencesAndTheLanguageWaitsForARestart)
{
    SettingsHarness harness(SettingsSection::interface);
    auto* view = harness.find<SettingsPicker>(QStringLiteral("interface-view-mode"));
    EXPECT_EQ(view->itemText(0), QStringLiteral("List"));
    EXPECT_EQ(view->itemText(1), QStringLiteral("Cards"));
    view->activated(1);
    harness.find<SettingsPicker>(QStringLiteral("interface-theme"))->activated(2);
    harness.click(QStringLiteral("interface-show-preview"));
    EXPECT_EQ(harness.defaults.string(StoredPreferences::viewMode.key), QStringLiteral("cards"));
    EXPECT_EQ(harness.defaults.string(StoredPreferences::theme.key), QStringLiteral("dark"));
    EXPECT_EQ(harness.defaults.boolValue(StoredPreferences::showPreview.key), false);
    EXPECT_TRUE(ThemeAppearance::of(harness.window).dark) << "the window follows the theme at once";
    harness.preferences.setShowPreview(true); // changed elsewhere: the switch follows
    EXPECT_TRUE(harness.find<SwitchToggle>(QStringLiteral("interface-show-preview"))->isChecked());
    EXPECT_FALSE(harness.find(QStringLiteral("replay-onboarding"))) << "no replay without a hook";

    auto* language = harness.find<SettingsPicker>(QStringLiteral("interface-language"));
    EXPECT_EQ(language->currentText(), QStringLiteral("System Default"));
    EXPECT_FALSE(harness.shows(QStringLiteral("language-restart-notice")));
    int relaunches = 0;
    QObject::connect(&harness.language, &LanguageSettings::relaunchRequested, [&] { ++relaunches; });
    language->activated(language->findText(QStringLiteral("Русский")));
    harness.settle();
    EXPECT_EQ(harness.defaults.stringArray(StoredPreferences::languages.key), QStringList{QStringLiteral("ru")});
    EXPECT_TRUE(harness.shows(QStringLiteral("language-restart-notice")));
    harness.click(QStringLiteral("language-restart"));
    EXPECT_EQ(relaunches, 1);
    language->activated(language->findText(QStringLiteral("English")));
    harness.settle();
    EXPECT_FALSE(harness.shows(QStringLiteral("language-restart-notice")));
}

TEST(GeneralPane, AnUnwritableLoginItemKeepsTheSwitchOffAndSaysWhy)
{
    SettingsHarness harness(SettingsSection::general);
    auto* toggle = harness.find<SwitchToggle>(QStringLiteral("launch-at-login"));
    EXPECT_EQ(captionText(harness, QStringLiteral("launch-at-login-status")),
              QStringLiteral("Tavlin does not start automatically."));
    EXPECT_TRUE(captionText(harness, QStringLiteral("launch-at-login-error")).isEmpty());

    QFile blocker(harness.folder.path() + QStringLiteral("/autostart")); // a file where the folder belongs
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    toggle->click();
    harness.settle();
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_TRUE(captionText(harness, QStringLiteral("launch-at-login-error"))
                    .startsWith(QStringLiteral("Could not turn on launch at login: ")));

    QFile::remove(blocker.fileName());
    toggle->click();
    harness.settle();
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_TRUE(captionText(harness, QStringLiteral("launch-at-login-error")).isEmpty());

    // Switched off behind Settings' back: the pane reads it again when it appears.
    QFile::remove(harness.folder.path() + QStringLiteral("/autostart/org.tavlin.Tavlin.desktop"));
    harness.open(SettingsSection::interface);
    harness.open(SettingsSection::general);
    EXPECT_FALSE(harness.find<SwitchToggle>(QStringLiteral("launch-at-login"))->isChecked());
    EXPECT_FALSE(harness.find(QStringLiteral("automatic-update-checks"))->isEnabled());
    EXPECT_TRUE(harness.shows(QStringLiteral("open-download-page")));
    EXPECT_FALSE(harness.shows(QStringLiteral("check-for-updates")));
}

// A new user's panes (no excluded applications, the usage figures in) fit the window: a pane that
// scrolls by a few pixels reads as cut off.
TEST(SettingsRoot, ANewUsersPanesFitTheWindowWithoutScrolling)
{
    for (const QString& language : {QStringLiteral("en"), QStringLiteral("ru")}) {
        ScopedLanguage scoped(language);
        SettingsHarness harness(SettingsSection::privacy);
        ASSERT_TRUE(QTest::qWaitFor([&] { return harness.shows(QStringLiteral("retention-usage")); }, 20000));
        for (const SettingsSection section : {SettingsSection::privacy, SettingsSection::general,
                                              SettingsSection::interface, SettingsSection::quickPanel}) {
            harness.open(section);
            for (const QScrollArea* scroll : harness.window->findChildren<QScrollArea*>()) {
                if (scroll->isVisible()) {
                    EXPECT_EQ(scroll->verticalScrollBar()->maximum(), 0)
                        << language.toStdString() << " " << toRaw(section).toStdString();
                }
            }
        }
    }
}
