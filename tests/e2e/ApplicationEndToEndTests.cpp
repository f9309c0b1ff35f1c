// The real application on a private Xvfb, in a profile of its own: the start-up guard, one
// instance per session, capturing, the global shortcut, an orderly stop on SIGTERM, and its
// windows and tray icon on a desktop with a window manager and a dark tray.
#include "ApplicationProfile.h"
#include "DesktopFile.h"
#include "SocketSquatter.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QSet>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

using namespace tavlin::test;

namespace {

// Managed windows, bottom to top, as decimal ids.
QStringList stacking()
{
    QStringList ids;
    const QString list = run(QStringLiteral("xprop -root _NET_CLIENT_LIST_STACKING")).section(u'#', 1);
    for (const QString& hex : list.split(u',', Qt::SkipEmptyParts))
        ids.append(QString::number(hex.trimmed().toUInt(nullptr, 16)));
    return ids;
}

// The grey of the colour most of a window shows, and the largest step from it to anything drawn
// on it, from 0 to 1.
struct Ink {
    double background = 0;
    double step = 0;
};

Ink ink(const QString& window)
{
    // WINDOW=, X=, Y=, WIDTH=, HEIGHT=, SCREEN=
    const QStringList geometry = run(QStringLiteral("xdotool getwindowgeometry --shell ") + window).split(u'\n');
    const auto value = [&](int line) { return geometry.value(line).section(u'=', 1).toInt(); };
    const QImage image = QGuiApplication::primaryScreen()->grabWindow(0).toImage().copy(value(1), value(2), value(3),
                                                                                        value(4));
    QHash<int, int> greys;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++greys[qGray(image.pixel(x, y))];
    Ink result;
    if (greys.isEmpty())
        return result;
    result.background = std::max_element(greys.cbegin(), greys.cend()).key() / 255.0;
    for (auto grey = greys.cbegin(); grey != greys.cend(); ++grey)
        result.step = std::max(result.step, std::abs(grey.key() / 255.0 - result.background));
    return result;
}

// A profile past the introduction, with a Quick Panel shortcut the window manager leaves free.
// Copies `text` as another program would, and waits until the profile holds `expected` records.
bool copyAndAwait(const Profile& profile, const QString& text, qint64 expected)
{
    QProcess::execute(QStringLiteral("sh"),
                      {QStringLiteral("-c"), QStringLiteral("printf '%1' | xclip -selection clipboard").arg(text)});
    return waitUntil([&] { return records(profile) == expected; }, 10000);
}

// The paths of the sockets that programs running with a HOME in `folder` hold open and that are
// files (not abstract names): each stays where it is when its program is ended.
QStringList socketFilesHeldFrom(const QString& folder)
{
    QSet<QByteArray> held; // "socket:[inode]"
    for (const pid_t pid : programsWithHomeIn(folder)) {
        const QString descriptors = QStringLiteral("/proc/%1/fd/").arg(pid);
        for (const QString& descriptor : QDir(descriptors).entryList(QDir::System | QDir::NoDotAndDotDot)) {
            char target[64] = {};
            if (::readlink(QFile::encodeName(descriptors + descriptor).constData(), target, sizeof target - 1) > 0)
                held.insert(target);
        }
    }
    QStringList paths;
    QFile table(QStringLiteral("/proc/net/unix")); // Num RefCount Protocol Flags Type St Inode Path
    const QList<QByteArray> lines = table.open(QIODevice::ReadOnly) ? table.readAll().split('\n') : QList<QByteArray>();
    for (const QByteArray& line : lines) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() == 8 && fields[7].startsWith('/') && held.contains("socket:[" + fields[6] + ']'))
            paths.append(QFile::decodeName(fields[7]));
    }
    return paths;
}

} // namespace

// A program on an X display that is given no session bus starts one (libdbus and GLib autolaunch
// it with dbus-launch); that bus outlives the program and the test, and its socket stays in /tmp.
TEST(ApplicationEndToEnd, TheProfileGivesNothingToAutolaunchABusThatLeavesASocketInTheTemporaryFolder)
{
    if (!QFile::exists(QStringLiteral("/usr/bin/dbus-launch")))
        GTEST_SKIP() << "without dbus-launch (dbus-x11) no bus can be autolaunched";
    Profile profile;
    profile.storeKnown();
    auto application = profile.launch();
    QByteArray log;
    ASSERT_TRUE(waitForMonitoring(*application, log)) << log.toStdString();
    stop(*application);
    const QStringList left = socketFilesHeldFrom(profile.folder.path());
    EXPECT_TRUE(left.isEmpty()) << left.join(u' ').toStdString();
}

TEST(ApplicationEndToEnd, AnIsolatedProfileIsRefusedBeforeAnythingElse)
{
    Profile profile;
    QProcessEnvironment environment = profile.environment();
    environment.insert(QStringLiteral("TAVLIN_ISOLATED_PROFILE"), QString());
    environment.remove(QStringLiteral("DISPLAY"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TAVLIN_APPLICATION), QStringList());
    EXPECT_TRUE(exitsWith(process, 1));
    EXPECT_EQ(process.readAllStandardOutput(), QByteArray("Tavlin refused to start: isolationRequiresDebug\n"));
    const auto hidden = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    EXPECT_TRUE(QDir(profile.home).entryList(hidden).isEmpty()) << "no file was made";
    EXPECT_TRUE(QDir(profile.runtime).entryList(hidden).isEmpty());
}

TEST(ApplicationEndToEnd, RunsOnceCapturesAnswersItsShortcutAndStopsInOrder)
{
    Profile profile;
    profile.storeKnown();
    auto application = profile.launch();
    QByteArray log;
    const auto readLog = [&] { log += application->readAllStandardError(); };
    // Whatever is on the clipboard at launch is never captured, so copy only once it runs.
    ASSERT_TRUE(waitForMonitoring(*application, log)) << log.toStdString();

    EXPECT_TRUE(copyAndAwait(profile, QStringLiteral("copied once"), 1));

    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+alt+k")});
    EXPECT_TRUE(waitUntil(
        [&] {
            readLog();
            return log.contains("Quick Panel shortcut pressed");
        },
        10000))
        << log.toStdString();

    // A second launch hands over to the running one and leaves.
    auto second = profile.launch();
    EXPECT_TRUE(exitsWith(*second, 0));
    EXPECT_EQ(application->state(), QProcess::Running);

    ::kill(application->processId(), SIGTERM);
    ASSERT_TRUE(exitsWith(*application, 0));
    EXPECT_FALSE(QFile::exists(profile.database + QStringLiteral("-wal"))) << "the database was closed";

    // The hot key is free for others again.
    QProcess holder;
    holder.start(QStringLiteral(TAVLIN_TEST_HOTKEY_HOLDER), {QStringLiteral("40"), QStringLiteral("6144")});
    EXPECT_TRUE(holder.waitForReadyRead(10000) && holder.readAll().startsWith("ready"));
    holder.kill();
    holder.waitForFinished(5000);
}

// Without a display it says so and writes nothing first: no history folder, no lock, no socket,
// wherever its runtime folder is or is not. A Tavlin already running is still reached, through its
// history's lock, from a launch that has another runtime folder.
TEST(ApplicationEndToEnd, WithoutADisplayItSaysSoAndWritesNothing)
{
    Profile profile;
    const QString temporary = profile.folder.path() + QStringLiteral("/tmp");
    ASSERT_TRUE(QDir().mkpath(temporary));
    // Whether the folders a launch may write to are still empty.
    const auto untouched = [&] {
        const auto hidden = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        return QDir(profile.home).entryList(hidden) + QDir(profile.runtime).entryList(hidden)
            + QDir(temporary).entryList(hidden);
    };
    const auto withoutRuntime = [&](QProcessEnvironment environment) {
        environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        environment.insert(QStringLiteral("TMPDIR"), temporary);
        return environment;
    };
    const QByteArray notSet("Tavlin needs an X11 display: DISPLAY is not set.\n");
    for (const auto& [display, runtime, message] :
         {std::tuple{QString(), true, notSet},
          std::tuple{QStringLiteral(":65000"), true,
                     QByteArray("Tavlin needs an X11 display: cannot connect to :65000.\n")},
          std::tuple{QString(), false, notSet}}) {
        QProcessEnvironment environment = runtime ? profile.environment() : withoutRuntime(profile.environment());
        if (display.isNull())
            environment.remove(QStringLiteral("DISPLAY"));
        else
            environment.insert(QStringLiteral("DISPLAY"), display);
        auto application = profile.start(environment);
        EXPECT_TRUE(exitsWith(*application, 1, 20000));
        EXPECT_TRUE(application->readAllStandardError().endsWith(message)) << message.toStdString();
        EXPECT_EQ(untouched(), QStringList()) << message.toStdString();
    }

    profile.storeKnown();
    auto running = profile.launch();
    QByteArray log;
    ASSERT_TRUE(waitForMonitoring(*running, log)) << log.toStdString();
    QProcessEnvironment environment = withoutRuntime(profile.environment());
    environment.remove(QStringLiteral("DISPLAY"));
    auto again = profile.start(environment);
    EXPECT_TRUE(exitsWith(*again, 0, 20000)) << again->readAllStandardError().toStdString();
    EXPECT_EQ(QDir(temporary).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              QStringList());
    stop(*running);
}

// Two launches in one instant leave one instance, which stores each copy once.
TEST(SingleInstanceEndToEnd, LaunchesAtOnceLeaveOneInstance)
{
    Profile profile;
    profile.storeKnown();
    auto first = profile.start();
    auto second = profile.start();
    const auto finished = [](const std::unique_ptr<QProcess>& process) {
        return process->state() == QProcess::NotRunning;
    };
    ASSERT_TRUE(waitUntil([&] { return finished(first) || finished(second); }, 20000));
    QProcess& left = finished(first) ? *first : *second;
    QProcess& running = finished(first) ? *second : *first;
    EXPECT_TRUE(exitsWith(left, 0)) << "it handed over\n" << left.readAllStandardError().toStdString();
    QByteArray log;
    ASSERT_TRUE(waitForMonitoring(running, log)) << log.toStdString();

    for (int copy = 1; copy <= 3; ++copy) {
        EXPECT_TRUE(copyAndAwait(profile, QStringLiteral("copy %1").arg(copy), copy));
    }
    EXPECT_EQ(running.state(), QProcess::Running);
    EXPECT_EQ(records(profile), 3);
    stop(running);
}

TEST(SingleInstanceEndToEnd, AStoppedInstanceIsNotJoinedByASecond)
{
    Profile profile;
    profile.storeKnown();
    auto application = profile.launch();
    QByteArray log;
    ASSERT_TRUE(waitForMonitoring(*application, log)) << log.toStdString();
    ::kill(application->processId(), SIGSTOP);
    auto second = profile.launch();
    const bool secondFinished = second->waitForFinished(30000);
    ::kill(application->processId(), SIGCONT);
    ASSERT_TRUE(secondFinished) << "a second instance is running";
    EXPECT_TRUE(exitsWith(*second, 1));
    EXPECT_TRUE(second->readAllStandardError().contains("Tavlin is already running but does not answer."));
    EXPECT_EQ(application->state(), QProcess::Running);
    stop(*application);
}

// Without a private runtime folder, another user's sockets in the shared temporary folder, where
// an instance could be looked for, neither answer for Tavlin nor keep it from starting.
TEST(SingleInstanceEndToEnd, AnotherUsersSocketDoesNotKeepTavlinFromStarting)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to run the squatter as another user";
    Profile profile;
    profile.storeKnown();
    TemporaryFolder shared; // like /tmp, and where the unprivileged user reaches it
    ASSERT_EQ(::chmod(QFile::encodeName(shared.path()).constData(), 01777), 0);
    const QString folder = shared.path() + QStringLiteral("/tavlin-0");
    ASSERT_EQ(runAsUnprivilegedUser([&] { return ::mkdir(QFile::encodeName(folder).constData(), 0700); }), 0);
    SocketSquatter inFolder(folder + QStringLiteral("/org.tavlin.Tavlin.socket"));
    SocketSquatter beside(shared.path() + QStringLiteral("/org.tavlin.Tavlin-0.socket"));
    ASSERT_TRUE(inFolder.waitUntilListening() && beside.waitUntilListening());

    QProcessEnvironment environment = profile.environment();
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    environment.insert(QStringLiteral("TMPDIR"), shared.path());
    auto application = profile.launch(environment);
    QByteArray log;
    ASSERT_TRUE(waitForMonitoring(*application, log)) << log.toStdString();
    EXPECT_TRUE(copyAndAwait(profile, QStringLiteral("mine"), 1));
    EXPECT_EQ(application->state(), QProcess::Running);
    stop(*application);
}

TEST(SingleInstanceEndToEnd, ASocketLeftByACrashIsNoReasonToRefuse)
{
    Profile profile;
    profile.storeKnown();
    auto crashed = profile.launch();
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(profile.socket()); }, 10000));
    crashed->kill();
    crashed->waitForFinished(5000);
    ASSERT_TRUE(QFile::exists(profile.socket())) << "the crash left its socket behind";

    auto application = profile.launch();
    QByteArray log;
    ASSERT_TRUE(waitForMonitoring(*application, log)) << log.toStdString();
    auto second = profile.launch();
    EXPECT_TRUE(exitsWith(*second, 0));
    EXPECT_EQ(application->state(), QProcess::Running) << "the new instance answers later launches";
    stop(*application);
}

// The tray icon toggles the history window, a second launch brings it forward, and the database
// is sound after SIGTERM.
TEST(ApplicationEndToEnd, TheTrayIconTogglesTheHistoryWindow)
{
    Profile profile;
    profile.storeKnown();
    Desktop desktop;
    const auto historyShown = [] { return !windowsNamed(QStringLiteral("^Tavlin$")).isEmpty(); };

    auto application = profile.launch();
    QByteArray log;
    ASSERT_TRUE(waitForMonitoring(*application, log)) << log.toStdString();
    EXPECT_TRUE(copyAndAwait(profile, QStringLiteral("a row"), 1));

    EXPECT_FALSE(Desktop::openHistory().isEmpty()) << "a click on the tray icon shows the history window";
    EXPECT_TRUE(waitUntil([] { return Desktop::activeWindowName() == u"Tavlin"; }, 10000));
    Desktop::clickTray();
    EXPECT_TRUE(waitUntil([&] { return !historyShown(); }, 10000)) << "a second click hides it\n"
                                                                   << application->readAllStandardError().toStdString();

    auto second = profile.launch();
    EXPECT_TRUE(exitsWith(*second, 0));
    EXPECT_TRUE(waitUntil(historyShown, 10000)) << "launching again brings the history window";

    ::kill(application->processId(), SIGTERM);
    ASSERT_TRUE(exitsWith(*application, 0));
    EXPECT_EQ(queryTexts(profile.database, QStringLiteral("PRAGMA integrity_check")),
              QStringList{QStringLiteral("ok")});
}

// A dark tray that states its colours gets an icon in them, not the black of a mask.
TEST(ApplicationEndToEnd, TheTrayIconStandsOutOnADarkTray)
{
    Profile profile;
    profile.storeKnown();
    Desktop desktop;
    auto application = profile.launch();
    ASSERT_TRUE(waitUntil([] { return ink(Desktop::panel()).step > 0; }, 10000)) << "the tray embeds the icon";

    ASSERT_EQ(QProcess::execute(QStringLiteral(TAVLIN_TEST_TRAY_COLORS), {QStringLiteral("f2f2f2")}), 0);
    EXPECT_TRUE(waitUntil([] { return ink(Desktop::panel()).step >= 0.4; }, 10000))
        << "step " << ink(Desktop::panel()).step << " on a panel of grey " << ink(Desktop::panel()).background;
    stop(*application);
}

// Trays that state no colours, dark or light: the icon reads on either.
TEST(ApplicationEndToEnd, TheTrayIconReadsOnAnyTrayThatStatesNoColours)
{
    Profile profile;
    profile.storeKnown();
    for (const char* tint : {"0x202020", "0xf0f0f0"}) {
        Desktop desktop(true, QString::fromLatin1(tint));
        auto application = profile.launch();
        EXPECT_TRUE(waitUntil([] { return ink(Desktop::panel()).step >= 0.4; }, 10000))
            << "step " << ink(Desktop::panel()).step << " on a panel of grey " << ink(Desktop::panel()).background;
        stop(*application);
    }
}

// Settings reopened after a language change, in the dark theme: it stays on top when a tray click
// brings the history window, keeps its native window, and Ctrl+H takes only the history window.
TEST(ApplicationEndToEnd, SettingsStaysAboveTheHistoryWindowInTheDarkTheme)
{
    Profile profile;
    profile.storeKnown("<key>interface.theme</key><string>dark</string>"
                       "<key>settings.reopenAfterRestart</key><string>general</string>");
    Desktop desktop;
    auto application = profile.launch();
    ASSERT_TRUE(waitUntil([] { return windowsNamed(QStringLiteral("^Settings$")).size() == 1; }, 10000));
    const QString settings = windowsNamed(QStringLiteral("^Settings$")).first();
    EXPECT_TRUE(run(QStringLiteral("xprop -id %1 _GTK_THEME_VARIANT").arg(settings)).contains(u"\"dark\""));
    // The window is mapped before its first paint reaches the screen.
    EXPECT_TRUE(waitUntil([&] { return ink(settings).background < 0.1; }, 10000))
        << "a dark window background, not " << ink(settings).background;

    const QString history = Desktop::openHistory();
    ASSERT_FALSE(history.isEmpty()) << "the history window did not open from the tray";
    EXPECT_TRUE(waitUntil(
        [&] {
            const QStringList order = stacking();
            return order.contains(history) && order.indexOf(settings) > order.indexOf(history);
        },
        10000))
        << "Settings on top: " << stacking().join(u' ').toStdString() << " history " << history.toStdString();
    EXPECT_EQ(windowsNamed(QStringLiteral("^Settings$")), QStringList{settings}) << "the same native window";
    EXPECT_TRUE(waitUntil([&] { return ink(history).background < 0.1; }, 10000))
        << "a dark history window, not " << ink(history).background;
    const QString actions = run(QStringLiteral("xprop -id %1 _NET_WM_ALLOWED_ACTIONS").arg(history));
    EXPECT_TRUE(actions.contains(u"_NET_WM_ACTION_CLOSE")) << actions.toStdString();
    EXPECT_FALSE(actions.contains(u"MINIMIZE") || actions.contains(u"MAXIMIZE")) << actions.toStdString();

    ASSERT_TRUE(waitUntil([] { return Desktop::activeWindowName() == u"Tavlin"; }, 10000));
    run(QStringLiteral("xdotool key ctrl+h"));
    EXPECT_TRUE(waitUntil([] { return windowsNamed(QStringLiteral("^Tavlin$")).isEmpty(); }, 10000));
    EXPECT_EQ(windowsNamed(QStringLiteral("^Settings$")), QStringList{settings}) << "Settings stays";
    stop(*application);
}

// Out of the box the Quick Panel shortcut is Ctrl+Alt+V, which the window manager leaves free.
TEST(ApplicationEndToEnd, AFreshProfileGetsAShortcutThatWorks)
{
    Profile profile;
    Desktop desktop;
    auto application = profile.launch();
    QByteArray log;
    ASSERT_TRUE(waitUntil(
        [&] {
            log += application->readAllStandardError();
            return log.contains("Quick Panel shortcut \"");
        },
        10000));
    run(QStringLiteral("xdotool key ctrl+alt+v"));
    EXPECT_TRUE(waitUntil(
        [&] {
            log += application->readAllStandardError();
            return log.contains("Quick Panel shortcut pressed");
        },
        10000))
        << log.toStdString();
    EXPECT_TRUE(log.contains("Quick Panel shortcut \"Ctrl+Alt+V\"")) << log.toStdString();
    EXPECT_FALSE(log.contains("is not available")) << log.toStdString();
    stop(*application);
}

// Installed for the current user as the README says, into a prefix of its own: launch at login is
// offered, its entry starts the installed program, and the tray shows the icon.
TEST(ApplicationEndToEnd, InstalledForTheUserItOffersLaunchAtLogin)
{
    Profile profile;
    const auto openingSettings = [&] {
        profile.store("<key>onboarding.completed</key><true/><key>settings.reopenAfterRestart</key>"
                      "<string>general</string>"
                      + freeShortcut);
    };
    openingSettings();
    // CMake reads a backslash in an install prefix as an escape (and one in DESTDIR as a slash):
    // under a temporary folder that holds one, the install goes to a folder of the test's own in
    // the build folder, where CMake works, removed however the test ends.
    std::optional<QTemporaryDir> elsewhere;
    QString installFolder = profile.folder.path();
    if (installFolder.contains(u'\\')) {
        elsewhere.emplace(QStringLiteral(TAVLIN_BUILD_DIR "/tavlin's install-XXXXXX"));
        ASSERT_TRUE(elsewhere->isValid());
        removeOnceThisProcessHasEnded(elsewhere->path());
        installFolder = elsewhere->path();
    }
    const QString prefix = installFolder + QStringLiteral("/prefix");
    // The build's install_manifest.txt lists what the user installed, for the README's uninstall:
    // an install of the one component there is writes a manifest of its own name instead.
    const QString manifest = QStringLiteral(TAVLIN_BUILD_DIR "/install_manifest.txt");
    const auto installed = [&] { return QFile::exists(manifest) ? readFile(manifest) : QByteArray("none"); };
    const QByteArray userInstalled = installed();
    QProcess install;
    install.start(QStringLiteral("cmake"),
                  {QStringLiteral("--install"), QStringLiteral(TAVLIN_BUILD_DIR), QStringLiteral("--component"),
                   QStringLiteral("Unspecified"), QStringLiteral("--prefix"), prefix});
    ASSERT_TRUE(install.waitForFinished(60000) && install.exitCode() == 0)
        << install.readAllStandardError().toStdString();
    QFile::remove(QStringLiteral(TAVLIN_BUILD_DIR "/install_manifest_Unspecified.txt"));
    EXPECT_EQ(installed(), userInstalled) << "the user's install manifest was rewritten";
    EXPECT_TRUE(QFile::exists(prefix + QStringLiteral("/share/icons/hicolor/scalable/apps/org.tavlin.Tavlin.svg")));

    Desktop desktop;
    // A session whose PATH lacks the install's bin folder, as one that never read ~/.profile.
    QProcessEnvironment environment = profile.environment();
    environment.insert(QStringLiteral("XDG_DATA_DIRS"), prefix + QStringLiteral("/share:/usr/share"));
    const auto launch = [&](const QString& program, const QStringList& arguments) {
        auto application = std::make_unique<QProcess>();
        application->setProcessEnvironment(environment);
        application->start(program, arguments);
        return application;
    };
    auto application = launch(prefix + QStringLiteral("/bin/tavlin"), {});
    ASSERT_TRUE(waitUntil([] { return windowsNamed(QStringLiteral("^Settings$")).size() == 1; }, 10000));
    EXPECT_TRUE(waitUntil([] { return ink(Desktop::panel()).step >= 0.4; }, 10000)) << "the tray shows the icon";
    // The General section's first control, the switch, once the window has the keyboard: the
    // window manager hands it over in its own time.
    const auto pressTheSwitch = [] {
        ASSERT_TRUE(activateWindowNamed(QStringLiteral("^Settings$")));
        const QString settings = windowsNamed(QStringLiteral("^Settings$")).value(0);
        run(QStringLiteral("xdotool mousemove --window %1 100 34 click 1 sleep 0.3 key Tab space").arg(settings));
    };
    pressTheSwitch();
    const QString entry = profile.home + QStringLiteral("/.config/autostart/org.tavlin.Tavlin.desktop");
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(entry); }, 10000))
        << application->readAllStandardError().toStdString();
    const std::optional<tavlin::DesktopFile> autostart = tavlin::DesktopFile::read(entry);
    ASSERT_TRUE(autostart);
    EXPECT_EQ(tavlin::DesktopFile::resolveProgram(autostart->execProgram()),
              QFileInfo(prefix + QStringLiteral("/bin/tavlin")).canonicalFilePath());
    stop(*application);

    // As the session would at the next login; there the switch turns it off again.
    openingSettings();
    application = launch(QStringLiteral("sh"),
                         {QStringLiteral("-c"), QStringLiteral("exec ") + autostart->value(QStringLiteral("Exec"))});
    QByteArray log;
    EXPECT_TRUE(waitForMonitoring(*application, log)) << log.toStdString();
    pressTheSwitch();
    EXPECT_TRUE(waitUntil([&] { return !QFile::exists(entry); }, 10000)) << "turned off, the entry goes";
    stop(*application);
}
