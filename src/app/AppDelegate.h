#pragma once

#include "ApplicationIconImages.h"
#include "Defaults.h"
#include "DesktopPresses.h"
#include "HotKeyBackend.h"
#include "LoginItemService.h"
#include "Pasteboard.h"
#include "SystemAppearance.h"
#include "SystemNotifications.h"
#include "SystemTray.h"
#include "TrayColors.h"
#include "UpdateService.h"
#include "WindowFocus.h"
#include "WindowManagerHints.h"
#include "WindowProperties.h"
#include "Workspace.h"

#include <QObject>

#include <qcoro/qcorotask.h>

#include <functional>
#include <memory>
#include <optional>

namespace tavlin {

class AppUpdateController;
class ApplicationActivation;
class CaptureExclusions;
class GlobalShortcut;
class HistoryModel;
class LanguageSettings;
class LaunchAtLoginController;
class OnboardingCoordinator;
class QuickPanelCoordinator;
class RetentionSettings;
class SettingsNavigation;
class SourceApplicationIcon;
class StatusItem;
class SystemActivityObserver;
class ViewPreferences;
class WindowPresenter;
struct OnboardingStore;

// Builds and owns every long-lived object of the application, wires them to each other, drives
// start-up (tray item, services, first-launch decision, monitoring) and stops everything in
// order. Which window shows when is the WindowPresenter's. Main thread only; every callback it
// hands out holds it weakly.
class AppDelegate : public QObject {
    Q_OBJECT

public:
    // The platform pieces the delegate is built on; the application passes the real ones.
    struct Platform {
        std::unique_ptr<Defaults> defaults;
        std::unique_ptr<Pasteboard> pasteboard;
        std::unique_ptr<Workspace> workspace;
        std::unique_ptr<ApplicationIconImages> iconImages;
        std::unique_ptr<SystemNotifications> systemNotifications;
        std::unique_ptr<SystemAppearance> appearance;
        std::unique_ptr<TrayColors> trayColors;
        std::unique_ptr<SystemTray> systemTray;
        std::unique_ptr<WindowManagerHints> windowManager;
        std::unique_ptr<WindowProperties> windowProperties;
        QString databasePath;
        std::function<std::unique_ptr<HotKeyBackend>()> makeHotKeyBackend;
        std::unique_ptr<LoginItemService> loginItems;
        std::function<std::unique_ptr<UpdateService>(Defaults&)> makeUpdateService;
        // Starts a new instance; true when the relaunch was started.
        std::function<bool()> relaunchApplication;
        // The desktop as the Quick Panel needs it.
        std::unique_ptr<WindowFocus> windowFocus;
        std::unique_ptr<DesktopPresses> desktopPresses;
    };

    // The desktop's services; installs the interface's language (TavlinLanguage::install) first, as
    // they read texts in it from the start.
    static Platform realPlatform();

    explicit AppDelegate(Platform platform, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Launch has finished: tray item, services, then the first-launch decision.
    void startServices();
    void startMonitoring();
    // Stops everything in order; safe to call more than once.
    void shutdown();
    // Whether quitting has begun: the event loop is ending, shutdown() follows.
    bool quitting() const { return quitting_; }

    void shortcutPressed();
    // A second launch of Tavlin asked the running one to come forward.
    void reopen();
    void relaunchForLanguage();

    HistoryModel& model() const { return *model_; }
    ViewPreferences& preferences() const { return *preferences_; }
    bool isFirstLaunchPending() const;
    bool isMonitoring() const { return monitoring_.has_value(); }
    WindowPresenter& windows() const { return *windows_; }
    StatusItem* statusItem() const { return statusItem_.get(); }
    AppUpdateController& updates();
    SettingsNavigation& settingsNavigation() const { return *settingsNavigation_; }
    GlobalShortcut& shortcut() const { return *shortcut_; }
    QuickPanelCoordinator& quickPanel() const { return *quickPanel_; }
    OnboardingCoordinator& onboarding() const { return *onboarding_; }

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reopenSettingsAfterLanguageRestart();

    Platform platform_;
    std::unique_ptr<SourceApplicationIcon> sourceIcons_;
    std::unique_ptr<HistoryModel> model_;
    std::unique_ptr<ViewPreferences> preferences_;
    std::unique_ptr<GlobalShortcut> shortcut_;
    std::unique_ptr<OnboardingStore> onboardingStore_;
    std::unique_ptr<OnboardingCoordinator> onboarding_;
    std::unique_ptr<LaunchAtLoginController> launchAtLogin_;
    std::unique_ptr<CaptureExclusions> exclusions_;
    std::unique_ptr<RetentionSettings> retention_;
    std::unique_ptr<LanguageSettings> language_;
    std::unique_ptr<AppUpdateController> updates_;
    std::unique_ptr<SettingsNavigation> settingsNavigation_;
    std::unique_ptr<SystemActivityObserver> systemActivity_;
    std::unique_ptr<ApplicationActivation> activation_;
    std::unique_ptr<WindowPresenter> windows_;
    std::unique_ptr<QuickPanelCoordinator> quickPanel_;
    std::unique_ptr<StatusItem> statusItem_;
    std::optional<QCoro::Task<>> monitoring_;

    bool shutDown_ = false;
    bool quitting_ = false;
};

} // namespace tavlin
