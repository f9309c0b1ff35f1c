#include "AppDelegate.h"

#include "AppUpdateController.h"
#include "ApplicationActivation.h"
#include "ApplicationRelauncher.h"
#include "CaptureExclusions.h"
#include "ClipTextSnippet.h"
#include "ContentView.h"
#include "Defaults.h"
#include "GlobalShortcut.h"
#include "HistoryModel.h"
#include "IconThemeImages.h"
#include "InstalledApplication.h"
#include "LanguageSettings.h"
#include "LaunchAtLoginController.h"
#include "Log.h"
#include "LogindNotifications.h"
#include "OnboardingCoordinator.h"
#include "OnboardingStore.h"
#include "OnboardingWindow.h"
#include "PlistDefaults.h"
#include "PortalSystemAppearance.h"
#include "QuickPanelCoordinator.h"
#include "RetentionSettings.h"
#include "SettingsNavigation.h"
#include "ShortcutRecorder.h"
#include "SingleInstance.h"
#include "SourceApplicationIcon.h"
#include "StatusItem.h"
#include "StoredPreferences.h"
#include "SymbolIcon.h"
#include "SystemActivityObserver.h"
#include "SystemFont.h"
#include "SystemLoginItemService.h"
#include "TavlinLanguage.h"
#include "TavlinSettingsView.h"
#include "UnavailableLoginItemService.h"
#include "UpdateService.h"
#include "ViewPreferences.h"
#include "WindowPresenter.h"
#include "X11DesktopPresses.h"
#include "X11HotKeyBackend.h"
#include "X11Pasteboard.h"
#include "X11SystemTray.h"
#include "X11TrayColors.h"
#include "X11WindowFocus.h"
#include "X11WindowManagerHints.h"
#include "X11WindowProperties.h"
#include "X11Workspace.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLoggingCategory>
#include <QPointer>
#include <QProcessEnvironment>
#include <QTimer>

namespace tavlin {

namespace {
Q_LOGGING_CATEGORY(delegateLog, "org.tavlin.Tavlin.delegate", QtWarningMsg)
} // namespace

AppDelegate::Platform AppDelegate::realPlatform()
{
    Platform platform;
    platform.defaults = std::make_unique<PlistDefaults>();
    // The workspace starts reading the installed applications' entries at once, their names in
    // the interface's language: that language is settled first, or the entries would be read
    // again at the first lookup, which waits for them (thousands installed hold up "Choose App…").
    TavlinLanguage::install(*platform.defaults);
    auto workspace = std::make_unique<X11Workspace>();
    auto pasteboard = std::make_unique<X11Pasteboard>();
    // Both live as long as the platform; the pasteboard asks only while reading.
    pasteboard->setWindowApplication(
        [desktop = workspace.get()](quint32 window) { return desktop->applicationIDForClientOf(window); });
    platform.pasteboard = std::move(pasteboard);
    platform.workspace = std::move(workspace);
    platform.iconImages = std::make_unique<IconThemeImages>(IconThemeImages::Themes::current());
    // Qt's own icon lookups (a text field's menu and clear button, a file dialog's icons) would read
    // the user's icon themes on the main thread, where a pipe or a theme of thousands of folders
    // holds everything: they look among the icons built in alone, while the desktop's icons come
    // from the worker above, which took the themes as they were.
    QIcon::setThemeSearchPaths({QStringLiteral(":/icons")});
    QIcon::setFallbackSearchPaths({QStringLiteral(":/icons")});
    platform.systemNotifications = std::make_unique<LogindNotifications>();
    platform.appearance = std::make_unique<PortalSystemAppearance>();
    platform.trayColors = std::make_unique<X11TrayColors>();
    platform.systemTray = std::make_unique<X11SystemTray>();
    platform.windowManager = std::make_unique<X11WindowManagerHints>();
    platform.windowProperties = std::make_unique<X11WindowProperties>();
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
    platform.relaunchApplication = [] {
        return ApplicationRelauncher::relaunch(QProcessEnvironment::systemEnvironment());
    };
    platform.windowFocus = std::make_unique<X11WindowFocus>();
    platform.desktopPresses = std::make_unique<X11DesktopPresses>();
    return platform;
}

AppDelegate::AppDelegate(Platform platform, QObject* parent) : QObject(parent), platform_(std::move(platform))
{
    Defaults& defaults = *platform_.defaults;
    Workspace& workspace = *platform_.workspace;
    sourceIcons_ = std::make_unique<SourceApplicationIcon>(workspace, *platform_.iconImages);
    model_ = std::make_unique<HistoryModel>(platform_.databasePath, *platform_.pasteboard, workspace);
    preferences_ = std::make_unique<ViewPreferences>(defaults);
    settingsNavigation_ = std::make_unique<SettingsNavigation>(SettingsSection::general);
    shortcut_ = std::make_unique<GlobalShortcut>(defaults, platform_.makeHotKeyBackend());
    onboardingStore_ = std::make_unique<OnboardingStore>(
        OnboardingStore{defaults, QFileInfo(platform_.databasePath).absolutePath(), {SingleInstance::lockFileName}});
    launchAtLogin_ = std::make_unique<LaunchAtLoginController>(std::move(platform_.loginItems));
    exclusions_ = std::make_unique<CaptureExclusions>(defaults, workspace, Workspace::ownApplicationID());
    retention_ = std::make_unique<RetentionSettings>(defaults, *model_);
    language_ = std::make_unique<LanguageSettings>(defaults, TavlinLanguage::current());
    model_->monitor().updateExcludedSources(exclusions_->bundleIDs());

    const QPointer<AppDelegate> self(this);
    systemActivity_ = std::make_unique<SystemActivityObserver>(*platform_.systemNotifications);
    connect(systemActivity_.get(), &SystemActivityObserver::suspendedChanged, this,
            [this](bool suspended) { model_->monitor().setMonitoringSuspended(suspended); });
    connect(exclusions_.get(), &CaptureExclusions::bundleIDsChanged, this,
            [this](const QStringList& bundleIDs) { model_->monitor().updateExcludedSources(bundleIDs); });
    connect(shortcut_.get(), &GlobalShortcut::pressed, this, &AppDelegate::shortcutPressed);
    connect(language_.get(), &LanguageSettings::relaunchRequested, this, &AppDelegate::relaunchForLanguage);

    activation_ = ApplicationActivation::system();
    windows_ = std::make_unique<WindowPresenter>(*activation_, *platform_.windowManager, *platform_.windowProperties,
                                                 *platform_.appearance, *preferences_);
    connect(windows_.get(), &WindowPresenter::deactivated, this, [this] { shortcut_->finishRecording(std::nullopt); });
    connect(windows_.get(), &WindowPresenter::settingsClosing, this,
            [this] { shortcut_->finishRecording(std::nullopt); });
    connect(windows_.get(), &WindowPresenter::activatedWithSettingsShown, this, [this] { launchAtLogin_->refresh(); });
    // The history window's content, made on its first show.
    windows_->setHistoryContent([this, windows = QPointer<WindowPresenter>(windows_.get())] {
        auto* content = new ContentView(
            *model_, *preferences_, *sourceIcons_,
            [windows] {
                if (windows)
                    windows->showSettings();
            },
            true);
        connect(windows, &WindowPresenter::searchFocusRequested, content, &ContentView::focusSearch);
        connect(content, &ContentView::sheetEnded, windows, &WindowPresenter::sheetEnded);
        return content;
    });
    windows_->setSettingsContent([this, self] {
        // The frame follows the theme already; the view needs no theme of its own.
        return new TavlinSettingsView(
            {*preferences_, *settingsNavigation_, nullptr, shortcut_.get(),
             SettingsServices{*model_, *launchAtLogin_, *exclusions_, *retention_, updates(), *sourceIcons_},
             language_.get(), [self] {
                 if (self)
                     self->windows_->showOnboarding();
             }});
    });

    onboarding_ = std::make_unique<OnboardingCoordinator>(OnboardingCoordinator::Services{
        *onboardingStore_,
        *preferences_,
        *shortcut_,
        [this]() -> SystemAppearance& { return *platform_.appearance; },
        [](GlobalShortcut& shortcut, const QString& idleTitle, std::function<void(bool)> onFocusChange) -> QWidget* {
            auto* recorder = new ShortcutRecorder(&shortcut, true);
            recorder->setIdleTitle(idleTitle);
            recorder->setFocusCallback(std::move(onFocusChange));
            return recorder;
        },
        {}});
    windows_->setIntroduction([self](bool firstLaunch) -> QWidget* {
        if (!self)
            return nullptr;
        QWidget* window = self->onboarding_->prepare(firstLaunch ? OnboardingMode::firstLaunch
                                                                 : OnboardingMode::replay);
        if (firstLaunch)
            self->onboardingStore_->defaults.setBool(StoredPreferences::onboardingStarted.key, true);
        return window;
    });
    connect(onboarding_.get(), &OnboardingCoordinator::finished, this, [this](OnboardingMode mode) {
        if (mode != OnboardingMode::firstLaunch || !windows_->isFirstLaunchPending())
            return;
        windows_->setFirstLaunchPending(false);
        // What was copied before this moment is not the user's history.
        model_->monitor().ignoreCurrentPasteboard();
        startMonitoring();
    });
    connect(onboarding_.get(), &OnboardingCoordinator::dismissed, this, [this](OnboardingMode mode) {
        if (mode == OnboardingMode::firstLaunch && !windows_->isFirstLaunchPending() && isMonitoring())
            windows_->showHistory();
    });

    WindowPresenter* windows = windows_.get();
    quickPanel_ = std::make_unique<QuickPanelCoordinator>(model_->operations(), *preferences_, *platform_.appearance,
                                                          *platform_.windowFocus, *platform_.desktopPresses,
                                                          *sourceIcons_);
    QuickPanelCoordinator* panel = quickPanel_.get();
    connect(panel, &QuickPanelCoordinator::historyRequested, windows, &WindowPresenter::showHistory);
    connect(panel, &QuickPanelCoordinator::willActivate, windows, &WindowPresenter::quickPanelWillActivate);
    connect(panel, &QuickPanelCoordinator::willRestoreExternal, windows,
            &WindowPresenter::quickPanelWillRestoreExternal);
    connect(panel, &QuickPanelCoordinator::externalRestoreFailed, windows,
            &WindowPresenter::quickPanelExternalRestoreFailed);
    windows_->setQuickPanel({[panel] { return panel->isPresented(); }, [panel] { panel->show(); },
                             [panel](WindowPresenter::PanelDismissal reason) {
                                 using Reason = QuickPanelCoordinator::HideReason;
                                 switch (reason) {
                                 case WindowPresenter::PanelDismissal::shortcut: return panel->hide(Reason::shortcut);
                                 case WindowPresenter::PanelDismissal::deactivated:
                                     return panel->hide(Reason::deactivated);
                                 case WindowPresenter::PanelDismissal::history: return panel->hide(Reason::history);
                                 }
                             }});

    statusItem_ = std::make_unique<StatusItem>(StatusItem::Actions{[windows] { windows->showHistory(); },
                                                                   [windows] { windows->showSettings(); },
                                                                   [] { QCoreApplication::quit(); }},
                                               *platform_.trayColors, *platform_.systemTray, *platform_.appearance);
    connect(statusItem_.get(), &StatusItem::leftClicked, windows, &WindowPresenter::toggleHistory);
    // Without a tray the window is all there is to see: it says Tavlin runs, and gives the way to
    // Settings and to quitting.
    connect(statusItem_.get(), &StatusItem::shownChanged, windows, [windows](bool shown) {
        windows->setTrayShown(shown);
        if (!shown)
            windows->reopen();
    });
    connect(statusItem_.get(), &StatusItem::menuTrackingBegan, windows, &WindowPresenter::menuOpened);
    connect(statusItem_.get(), &StatusItem::menuTrackingEnded, windows, &WindowPresenter::menuClosed);
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
}

AppDelegate::~AppDelegate()
{
    shutdown();
}

AppUpdateController& AppDelegate::updates()
{
    if (!updates_) {
        updates_ = std::make_unique<AppUpdateController>(platform_.makeUpdateService(*platform_.defaults),
                                                         AppUpdateController::version());
        // The update window comes forward: the floating history window makes way for it.
        connect(&updates_->service(), &UpdateService::willPresentWindow, windows_.get(),
                &WindowPresenter::yieldToUpdateWindow);
    }
    return *updates_;
}

void AppDelegate::startServices()
{
    statusItem_->install();
    windows_->setTrayShown(statusItem_->isShown());
    qCDebug(delegateLog) << "Tray item installed";
    updates();
    shortcut_->start();
    qCDebug(delegateLog) << "Quick Panel shortcut" << shortcut_->backend().displayText(shortcut_->binding());
    if (shortcut_->errorMessage())
        Log::error(QStringLiteral("The Quick Panel shortcut %1 is not available: %2")
                       .arg(shortcut_->backend().displayText(shortcut_->binding()), *shortcut_->errorMessage()));
    systemActivity_->start();
    if (onboardingStore_->resolveNeedsFirstLaunch()) {
        windows_->setFirstLaunchPending(true);
        windows_->showOnboarding();
        return;
    }
    startMonitoring();
    reopenSettingsAfterLanguageRestart();
    if (!statusItem_->isShown())
        windows_->reopen();
    // Once the application is up, what every first window would wait for: the fonts, the
    // patterns that tell code apart and the symbols. (The workspace reads the installed
    // applications on a thread of its own from its start.)
    QTimer::singleShot(0, this, [this] {
        SystemFont::prepare();
        ClipTextSnippet::isCode(QStringLiteral("int main() { return 0; }"));
        SymbolIcon::prepare();
        // The history window itself, out of sight, in a turn of its own.
        QTimer::singleShot(0, this, [this] { windows_->prepareHistory(); });
    });
}

void AppDelegate::startMonitoring()
{
    if (monitoring_)
        return;
    connect(
        &model_->browser(), &HistoryBrowser::historyChanges, this, [] { qCDebug(delegateLog) << "Monitoring started"; },
        Qt::SingleShotConnection);
    // The prepared history window is drawn again once the first page of records is in, so that
    // the rows' shapes, texts and images are ready too.
    connect(
        &model_->browser(), &HistoryBrowser::rowPresentationsChanged, this,
        [this] { QTimer::singleShot(0, this, [this] { windows_->prepareHistory(); }); }, Qt::SingleShotConnection);
    monitoring_ = model_->monitor().runMonitoring();
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
    windows_->showSettings();
}

bool AppDelegate::isFirstLaunchPending() const
{
    return windows_->isFirstLaunchPending();
}

void AppDelegate::shortcutPressed()
{
    qCDebug(delegateLog) << "Quick Panel shortcut pressed";
    windows_->shortcutPressed();
}

void AppDelegate::reopen()
{
    windows_->reopen();
}

bool AppDelegate::eventFilter(QObject* watched, QEvent* event)
{
    // Qt's own quit first asks every window to close, and one that only hides cancels it: the
    // process would go on recording with no window and no tray icon. Every road to quitting (the
    // tray, Ctrl+Q, a restart, a signal) arrives here and ends the event loop whatever is open;
    // shutdown() follows once the loop has returned, out of any menu or window that asked.
    if (event->type() == QEvent::Quit && watched == QCoreApplication::instance()) {
        quitting_ = true;
        QCoreApplication::exit(0);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void AppDelegate::shutdown()
{
    if (shutDown_)
        return;
    shutDown_ = true;
    shortcut_->stop();
    systemActivity_->stop();
    disconnect(exclusions_.get(), nullptr, this, nullptr);
    quickPanel_->shutdown();
    onboarding_->shutdown();
    model_->monitor().stopMonitoring();
    monitoring_.reset();
    statusItem_->remove();
    windows_->closeAll();
    // Quitting waits for no copy: one being stored is rolled back and logged.
    model_->stopHistory();
}

} // namespace tavlin
