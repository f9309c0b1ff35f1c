#pragma once

#include "AppUpdateController.h"
#include "AwaitTask.h"
#include "CaptureExclusions.h"
#include "DesignTestSupport.h"
#include "FakeApplicationIconImages.h"
#include "FakeHotKeyBackend.h"
#include "FakePasteboard.h"
#include "FakeSystemAppearance.h"
#include "FakeWorkspace.h"
#include "GlobalShortcut.h"
#include "HistoryModel.h"
#include "InMemoryDefaults.h"
#include "LanguageSettings.h"
#include "LaunchAtLoginController.h"
#include "RetentionSettings.h"
#include "SettingsNavigation.h"
#include "SettingsWindow.h"
#include "SourceApplicationIcon.h"
#include "StoreTestSupport.h"
#include "SystemLoginItemService.h"
#include "TavlinSettingsView.h"
#include "TemporaryFolder.h"
#include "UnavailableUpdateService.h"
#include "ViewPreferences.h"
#include "X11HotKeyBackend.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

namespace tavlin::test {

// Hot keys without a display server, on the X keyboard: key presses carry X keycodes, recorded
// as the X11 backend records them.
struct XKeyboardHotKeys : FakeHotKeyBackend {
    XKeyboardHotKeys() { keyNames = {{40, QStringLiteral("K")}, {12, QStringLiteral("Q")}, {9, QStringLiteral("V")}}; }
    std::optional<quint32> keyCode(quint32 xKeycode) const override
    {
        for (quint32 code = 0; code < 128; ++code) {
            if (X11HotKeyBackend::xKeycode(code) == xKeycode)
                return code;
        }
        return std::nullopt;
    }
};

// The Settings window with every service real except the desktop: a history store on disk, the
// login item in a temporary autostart folder, and in-memory defaults, hot keys and applications.
struct SettingsHarness {
    TemporaryFolder folder;
    InMemoryDefaults defaults;
    FakePasteboard pasteboard;
    FakeWorkspace workspace;
    FakeSystemAppearance appearance;
    XKeyboardHotKeys* hotKeys = new XKeyboardHotKeys();
    HistoryModel model{folder.databasePath(), pasteboard, workspace};
    ViewPreferences preferences{defaults};
    GlobalShortcut shortcut{defaults, std::unique_ptr<HotKeyBackend>(hotKeys)};
    LaunchAtLoginController launchAtLogin{std::make_unique<SystemLoginItemService>(
        QCoreApplication::applicationFilePath(), folder.path() + QStringLiteral("/autostart"), [](const QUrl&) {})};
    CaptureExclusions exclusions{defaults, workspace, Workspace::ownApplicationID()};
    FakeApplicationIconImages icons;
    SourceApplicationIcon sourceIcons{workspace, icons};
    RetentionSettings retention{defaults, model};
    AppUpdateController updates{std::make_unique<UnavailableUpdateService>(UpdateAvailability{}),
                                QStringLiteral("1.2.0"), [](const QUrl&) {}};
    LanguageSettings language{defaults, TavlinLanguage::english, [] { return QStringList{QStringLiteral("en_US")}; }};
    SettingsNavigation navigation;
    SettingsWindow* window = nullptr;

    explicit SettingsHarness(SettingsSection section = SettingsSection::general, bool dark = false)
    {
        appearance.setDark(dark);
        navigation.setSection(section);
        shortcut.start();
        window = new SettingsWindow(new TavlinSettingsView(TavlinSettingsView::Inputs{
            preferences,
            navigation,
            &appearance,
            &shortcut,
            SettingsServices{model, launchAtLogin, exclusions, retention, updates, sourceIcons},
            &language,
            {}}));
        window->show();
        settle();
    }
    ~SettingsHarness() { delete window; }

    // Ordinary records, oldest first (ids follow age), each of `bytes`, from `sources` in turn.
    void fill(int count, const QStringList& sources = {}, qint64 bytes = 1024)
    {
        fillHistory(folder.databasePath(), count, sources, bytes);
        await(model.browser().reload());
    }
    static void settle()
    {
        for (int i = 0; i < 4; ++i)
            QApplication::processEvents();
    }
    void open(SettingsSection section)
    {
        navigation.setSection(section);
        settle();
    }
    template <class Widget = QWidget>
    Widget* find(const QString& identifier) const
    {
        return window->findChild<Widget*>(identifier);
    }
    // The widget is there and on screen.
    bool shows(const QString& identifier) const
    {
        QWidget* widget = find(identifier);
        return widget && widget->isVisible();
    }
    void click(const QString& identifier)
    {
        auto* button = find<QAbstractButton>(identifier);
        if (button)
            button->click();
        settle();
    }
};

} // namespace tavlin::test
