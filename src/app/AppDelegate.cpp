#include "AppDelegate.h"

#include "AppUpdateController.h"
#include "ApplicationRelauncher.h"
#include "CaptureExclusions.h"
#include "Defaults.h"
#include "GlobalShortcut.h"
#include "HistoryModel.h"
#include "HistoryWindow.h"
#include "InstalledApplication.h"
#include "LanguageSettings.h"
#include "LaunchAtLoginController.h"
#include "Log.h"
#include "LogindNotifications.h"
#include "OnboardingStore.h"
#include "PlistDefaults.h"
#include "RetentionSettings.h"
#include "SettingsNavigation.h"
#include "SettingsWindow.h"
#include "SourceApplicationIcon.h"
#include "StatusItem.h"
#include "SystemActivityObserver.h"
#include "SystemLoginItemService.h"
#include "TavlinLanguage.h"
#include "TrueBlackWindowChrome.h"
#include "UnavailableLoginItemService.h"
#include "UpdateService.h"
#include "ViewPreferences.h"
#include "X11HotKeyBackend.h"
#include "X11Pasteboard.h"
#include "X11Workspace.h"

#include <QApplication>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcessEnvironment>
#include <QShortcut>

namespace tavlin {

namespace {
Q_LOGGING_CATEGORY(delegateLog, "org.tavlin.Tavlin.delegate", QtWarningMsg)
} // namespace

AppDelegate::Platform AppDelegate::realPlatform()
{
    Platform platform;
    platform.defaults = std::make_unique<PlistDefaults>();
    platform.pasteboard = std::make_unique<X11Pasteboard>();
    platform.workspace = std::make_unique<X11Workspace>();
    platform.systemNotifications = std::make_unique<LogindNotifications>();
    platform.databasePath = HistoryModel::defaultDatabasePath();
    platform.makeHotKeyBackend = [] { return std::make_unique<X11HotKeyBackend>(); };
    const std::optional<InstalledApplication> installed = InstalledApplication::find();
    // Launch at login is offered only to the installed application.
    if (installed)
        platform.loginItems = std::make_unique<SystemLoginItemService>(installed->executable);
    else
        platform.loginItems = std::make_unique<UnavailableLoginItemService>();
    platform.makeUpdateService = [installed](Defaults& defaults) {
        return AppUpdateController::makeService(installed, false, defaults);
    };
    platform.relaunchApplication = [] { return ApplicationRelauncher::relaunch(QProcessEnvironment::systemEnvironment()); };
    return platform;
}

AppDelegate::AppDelegate(Platform platform, QObject* parent) : QObject(parent), platform_(std::move(platform))
{
    Defaults& defaults = *platform_.defaults;
    Workspace& workspace = *platform_.workspace;
    SourceApplicationIcon::setWorkspace(&workspace);
    model_ = std::make_unique<HistoryModel>(platform_.databasePath, *platform_.pasteboard,
                                            [&workspace] { return workspace.frontmostApplicationID(); });
    preferences_ = std::make_unique<ViewPreferences>(defaults);
    settingsNavigation_ = std::make_unique<SettingsNavigation>(SettingsSection::general);
    shortcut_ = std::make_unique<GlobalShortcut>(defaults, platform_.makeHotKeyBackend());
    onboardingStore_ = std::make_unique<OnboardingStore>(OnboardingStore{defaults, QFileInfo(platform_.databasePath).absolutePath()});
    launchAtLogin_ = std::make_unique<LaunchAtLoginController>(std::move(platform_.loginItems));
    exclusions_ = std::make_unique<CaptureExclusions>(defaults, workspace, Workspace::ownApplicationID());
    retention_ = std::make_unique<RetentionSettings>(defaults, *model_);
    language_ = std::make_unique<LanguageSettings>(defaults, TavlinLanguage::current());
    model_->updateExcludedSources(exclusions_->bundleIDs());

    const QPointer<AppDelegate> self(this);
    systemActivity_ = std::make_unique<SystemActivityObserver>(*platform_.systemNotifications, [self](bool suspended) {
        if (self)
            self->model_->setMonitoringSuspended(suspended);
    });
    connect(exclusions_.get(), &CaptureExclusions::bundleIDsChanged, this,
            [this](const QStringList& bundleIDs) { model_->updateExcludedSources(bundleIDs); });
    shortcut_->onPress = [self] {
        if (self)
            self->shortcutPressed();
    };
    language_->setRelaunch([self] {
        if (self)
            self->relaunchForLanguage();
    });
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &AppDelegate::applicationStateChanged);

    statusItem_ = std::make_unique<StatusItem>(StatusItem::Actions{
        [self] {
            if (self)
                self->showHistory();
        },
        [self] {
            if (self)
                self->showSettings();
        },
        [] { QCoreApplication::quit(); }});
    connect(statusItem_.get(), &StatusItem::leftClicked, this, &AppDelegate::handleStatusClick);
    connect(statusItem_.get(), &StatusItem::menuTrackingBegan, this, [this] { menuOpen_ = true; });
    connect(statusItem_.get(), &StatusItem::menuTrackingEnded, this, [this] {
        menuOpen_ = false;
        dismissHistoryIfInactive();
    });
}

AppDelegate::~AppDelegate()
{
    shutdown();
    SourceApplicationIcon::setWorkspace(nullptr);
}

HistoryWindow* AppDelegate::historyWindow() const
{
    return historyWindow_;
}

SettingsWindow* AppDelegate::settingsWindow() const
{
    return settingsWindow_;
}

AppUpdateController& AppDelegate::updates()
{
    if (!updates_) {
        updates_ = std::make_unique<AppUpdateController>(platform_.makeUpdateService(*platform_.defaults),
                                                         AppUpdateController::version());
        const QPointer<AppDelegate> self(this);
        // The update window comes forward: the floating history window makes way for it.
        updates_->service().willPresentWindow = [self] {
            if (!self || !self->historyWindow_ || !self->historyWindow_->isVisible())
                return;
            self->historyRequested_ = false;
            self->historyWindow_->hide();
            self->updateSettingsLevel();
        };
    }
    return *updates_;
}

void AppDelegate::startServices()
{
    statusItem_->install();
    qCDebug(delegateLog) << "Tray item installed";
    updates();
    shortcut_->start();
    qCDebug(delegateLog) << "Quick Panel shortcut" << shortcut_->backend().displayText(shortcut_->binding());
    if (shortcut_->errorMessage())
        Log::error(QStringLiteral("The Quick Panel shortcut %1 is not available: %2")
                       .arg(shortcut_->backend().displayText(shortcut_->binding()), *shortcut_->errorMessage()));
    systemActivity_->start();
    if (onboardingStore_->resolveNeedsFirstLaunch()) {
        firstLaunchPending_ = true;
        showOnboarding();
        return;
    }
    startMonitoring();
    reopenSettingsAfterLanguageRestart();
}

void AppDelegate::startMonitoring()
{
    if (monitoring_)
        return;
    connect(model_.get(), &HistoryModel::historyChanges, this, [] { qCDebug(delegateLog) << "Monitoring started"; },
            Qt::SingleShotConnection);
    monitoring_ = model_->runMonitoring();
}

void AppDelegate::relaunchForLanguage()
{
    ApplicationRelauncher::relaunchForLanguage(*platform_.defaults, platform_.relaunchApplication);
}

void AppDelegate::reopenSettingsAfterLanguageRestart()
{
    const std::optional<QString> stored = ApplicationRelauncher::takeReopenSection(*platform_.defaults);
    if (!stored)
        return;
    settingsNavigation_->setSection(fromRaw<SettingsSection>(*stored).value_or(SettingsSection::interface));
    showSettings();
}

void AppDelegate::showOnboarding()
{
    applicationInactive_ = false;
    // The introduction window comes with its own part of the application; until then a first
    // launch only waits, capturing nothing.
    if (firstLaunchPending_)
        Log::error(QStringLiteral("The introduction is pending: clipboard monitoring starts once it is finished"));
}

void AppDelegate::shortcutPressed()
{
    qCDebug(delegateLog) << "Quick Panel shortcut pressed";
    if (firstLaunchPending_) {
        showOnboarding();
        return;
    }
    Q_EMIT quickPanelToggleRequested();
}

void AppDelegate::reopen()
{
    if (firstLaunchPending_)
        showOnboarding();
    else if (settingsWindow_ && settingsWindow_->isVisible())
        showSettings();
    else
        showHistory();
}

void AppDelegate::showHistory()
{
    if (firstLaunchPending_) {
        showOnboarding();
        return;
    }
    historyRequested_ = true;
    applicationInactive_ = false;
    if (!historyWindow_) {
        auto* content = new QWidget();
        content->setObjectName(QStringLiteral("history-content"));
        historyWindow_ = new HistoryWindow(content);
        installWindowShortcuts(historyWindow_);
        connect(historyWindow_, &HistoryWindow::aboutToClose, this, [this] {
            historyRequested_ = false;
            if (settingsWindow_)
                settingsWindow_->setFloating(false);
        });
    }
    historyWindow_->refitToScreen();
    bringToFront(historyWindow_);
    updateSettingsLevel();
    Q_EMIT HistoryWindow::notifications().searchFocusRequested(model_.get());
}

void AppDelegate::showSettings()
{
    if (firstLaunchPending_) {
        showOnboarding();
        return;
    }
    applicationInactive_ = false;
    if (!settingsWindow_) {
        auto* content = new QWidget();
        content->setObjectName(QStringLiteral("settings-content"));
        settingsWindow_ = new SettingsWindow(content);
        new TrueBlackWindowChrome(settingsWindow_);
        installWindowShortcuts(settingsWindow_);
        connect(settingsWindow_, &SettingsWindow::aboutToClose, this, [this] { shortcut_->finishRecording(std::nullopt); });
    }
    updateSettingsLevel();
    bringToFront(settingsWindow_);
}

void AppDelegate::handleStatusClick()
{
    const bool active = QGuiApplication::applicationState() == Qt::ApplicationActive;
    qCDebug(delegateLog) << "Tray click; active" << active << "activation pending" << activationPending_;
    if (historyWindow_ && historyWindow_->isVisible() && (active || activationPending_)) {
        historyRequested_ = false;
        historyWindow_->hide();
        updateSettingsLevel();
        return;
    }
    showHistory();
}

void AppDelegate::bringToFront(QWidget* window)
{
    if (window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
    activationPending_ = QGuiApplication::applicationState() != Qt::ApplicationActive;
}

void AppDelegate::updateSettingsLevel()
{
    if (settingsWindow_)
        settingsWindow_->setFloating(historyWindow_ && historyWindow_->isVisible());
}

void AppDelegate::dismissHistoryIfInactive()
{
    if (!applicationInactive_ || menuOpen_ || QApplication::activeModalWidget())
        return;
    historyRequested_ = false;
    if (historyWindow_)
        historyWindow_->hide();
    updateSettingsLevel();
}

void AppDelegate::applicationStateChanged(Qt::ApplicationState state)
{
    if (shutDown_)
        return;
    qCDebug(delegateLog) << "Application state" << state;
    if (state == Qt::ApplicationActive) {
        applicationInactive_ = false;
        activationPending_ = false;
        if (!historyRequested_ && historyWindow_ && historyWindow_->isVisible()) {
            historyWindow_->hide();
            updateSettingsLevel();
        }
        if (settingsWindow_ && settingsWindow_->isVisible())
            launchAtLogin_->refresh();
        return;
    }
    applicationInactive_ = true;
    activationPending_ = false;
    shortcut_->finishRecording(std::nullopt);
    dismissHistoryIfInactive();
}

void AppDelegate::installWindowShortcuts(QWidget* window)
{
    // No global menu bar on X11: the main menu's commands are shortcuts of each window.
    const auto add = [window](const char* keys, std::function<void()> action) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(keys)), window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, window, std::move(action));
    };
    const QPointer<AppDelegate> self(this);
    add("Ctrl+,", [self] {
        if (self)
            self->showSettings();
    });
    add("Ctrl+H", [self] {
        if (!self)
            return;
        self->historyRequested_ = false;
        for (QWidget* widget : {static_cast<QWidget*>(self->historyWindow_), static_cast<QWidget*>(self->settingsWindow_)}) {
            if (widget)
                widget->hide();
        }
    });
    add("Ctrl+Q", [] { QCoreApplication::quit(); });
    add("Ctrl+W", [window] { window->close(); });
    add("Ctrl+M", [window] { window->showMinimized(); });
}

void AppDelegate::shutdown()
{
    if (shutDown_)
        return;
    shutDown_ = true;
    shortcut_->stop();
    systemActivity_->stop();
    disconnect(exclusions_.get(), nullptr, this, nullptr);
    menuOpen_ = false;
    model_->stopMonitoring();
    monitoring_.reset();
    statusItem_->remove();
    delete historyWindow_;
    delete settingsWindow_;
}

} // namespace tavlin
