// The real application on a private Xvfb, in a profile of its own: the start-up guard, one
// instance per session, capturing, the global shortcut, and an orderly stop on SIGTERM.
#include "StoreTestSupport.h"
#include "TemporaryFolder.h"

#include <QDir>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

using namespace tavlin::test;

namespace {

struct Profile {
    TemporaryFolder folder;
    QString home = folder.path() + QStringLiteral("/home");
    QString runtime = folder.path() + QStringLiteral("/run");
    QString database = home + QStringLiteral("/.local/share/Tavlin/history.sqlite");

    Profile()
    {
        QDir().mkpath(home);
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Preferences as the application stores them: an XML property list.
    void store(const QByteArray& plistBody)
    {
        QDir().mkpath(home + QStringLiteral("/.config/Tavlin"));
        writeFile(home + QStringLiteral("/.config/Tavlin/org.tavlin.Tavlin.plist"),
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + plistBody + "</dict></plist>\n");
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("org.tavlin.Tavlin.delegate.debug=true"));
        environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        return environment;
    }

    QString socket() const { return runtime + QStringLiteral("/org.tavlin.Tavlin.socket"); }

    std::unique_ptr<QProcess> launch() const
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment());
        process->start(QStringLiteral(TAVLIN_APPLICATION), QStringList());
        process->waitForStarted(5000);
        return process;
    }
};

// Ctrl+Alt+K, in the stored form of the shortcut: JSON {"keyCode":40,"modifiers":6144} as data.
const QByteArray freeShortcut = "<key>quickPanel.shortcut</key><data>eyJrZXlDb2RlIjo0MCwibW9kaWZpZXJzIjo2MTQ0fQ==</data>";

bool waitUntil(const std::function<bool()>& condition, int milliseconds)
{
    return QTest::qWaitFor(condition, milliseconds);
}

qint64 records(const Profile& profile)
{
    if (!QFile::exists(profile.database))
        return 0;
    try {
        return queryInteger(profile.database, QStringLiteral("SELECT COUNT(*) FROM clips"));
    } catch (const std::exception&) {
        return 0; // not created yet
    }
}

} // namespace

TEST(ApplicationEndToEnd, AnIsolatedProfileIsRefusedBeforeAnythingElse)
{
    Profile profile;
    QProcessEnvironment environment = profile.environment();
    environment.insert(QStringLiteral("TAVLIN_ISOLATED_PROFILE"), QString());
    environment.remove(QStringLiteral("DISPLAY"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TAVLIN_APPLICATION), QStringList());
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_EQ(process.readAllStandardOutput(), QByteArray("Tavlin refused to start: isolationRequiresDebug\n"));
    const auto hidden = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    EXPECT_TRUE(QDir(profile.home).entryList(hidden).isEmpty()) << "no file was made";
    EXPECT_TRUE(QDir(profile.runtime).entryList(hidden).isEmpty());
}

TEST(ApplicationEndToEnd, RunsOnceCapturesAnswersItsShortcutAndStopsInOrder)
{
    Profile profile;
    profile.store("<key>onboarding.completed</key><true/>" + freeShortcut);
    auto application = profile.launch();
    QByteArray log;
    const auto readLog = [&] { log += application->readAllStandardError(); };
    // Whatever is on the clipboard at launch is never captured, so copy only once it runs.
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(profile.socket()); }, 10000));

    QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("printf 'copied once' | xclip -selection clipboard")});
    EXPECT_TRUE(waitUntil([&] { return records(profile) == 1; }, 5000));

    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+alt+k")});
    EXPECT_TRUE(waitUntil([&] {
        readLog();
        return log.contains("Quick Panel shortcut pressed");
    }, 5000)) << log.toStdString();

    // A second launch hands over to the running one and leaves.
    auto second = profile.launch();
    ASSERT_TRUE(second->waitForFinished(10000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(application->state(), QProcess::Running);

    ::kill(application->processId(), SIGTERM);
    ASSERT_TRUE(application->waitForFinished(10000));
    EXPECT_EQ(application->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(application->exitCode(), 0);
    EXPECT_FALSE(QFile::exists(profile.database + QStringLiteral("-wal"))) << "the database was closed";

    // The hot key is free for others again.
    QProcess holder;
    holder.start(QStringLiteral(TAVLIN_TEST_HOTKEY_HOLDER), {QStringLiteral("40"), QStringLiteral("6144")});
    EXPECT_TRUE(holder.waitForReadyRead(10000) && holder.readAll().startsWith("ready"));
    holder.kill();
    holder.waitForFinished(5000);
}

TEST(ApplicationEndToEnd, ASocketLeftByACrashIsNoReasonToRefuse)
{
    Profile profile;
    profile.store("<key>onboarding.completed</key><true/>" + freeShortcut);
    auto crashed = profile.launch();
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(profile.socket()); }, 10000));
    crashed->kill();
    crashed->waitForFinished(5000);
    ASSERT_TRUE(QFile::exists(profile.socket())) << "the crash left its socket behind";

    auto application = profile.launch();
    QTest::qWait(1500);
    EXPECT_EQ(application->state(), QProcess::Running);
    auto second = profile.launch();
    ASSERT_TRUE(second->waitForFinished(10000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(application->state(), QProcess::Running) << "the new instance answers later launches";
    application->terminate();
    ASSERT_TRUE(application->waitForFinished(10000));
    EXPECT_EQ(application->exitCode(), 0);
}

// On a desktop with a window manager and a tray: the tray icon toggles the history window, a
// second launch brings it forward, and the database is sound after SIGTERM.
TEST(ApplicationEndToEnd, TheTrayIconTogglesTheHistoryWindow)
{
    Profile profile;
    profile.store("<key>onboarding.completed</key><true/>" + freeShortcut);
    QProcess windowManager;
    windowManager.start(QStringLiteral("openbox"), QStringList());
    QProcess tray;
    tray.start(QStringLiteral("trayer"), {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                                         QStringLiteral("left"), QStringLiteral("--widthtype"), QStringLiteral("request"),
                                         QStringLiteral("--height"), QStringLiteral("32"), QStringLiteral("--SetDockType"),
                                         QStringLiteral("true"), QStringLiteral("--transparent"), QStringLiteral("false")});
    ASSERT_TRUE(windowManager.waitForStarted(5000) && tray.waitForStarted(5000));
    const auto historyShown = [] {
        QProcess search;
        search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                 QStringLiteral("--name"), QStringLiteral("^Tavlin$")});
        search.waitForFinished(5000);
        return !search.readAllStandardOutput().trimmed().isEmpty();
    };
    QTest::qWait(1000);

    auto application = profile.launch();
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(profile.socket()); }, 10000));
    QTest::qWait(1000); // the tray embeds the icon
    QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("printf 'a row' | xclip -selection clipboard")});
    EXPECT_TRUE(waitUntil([&] { return records(profile) == 1; }, 5000));

    // The icon is the tray's only one: a click near the tray's left end lands on it.
    const auto clickTray = [] {
        QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral(
            "xdotool mousemove --window $(xdotool search --classname '^panel$' | head -1) 10 12 click 1")});
    };
    const auto historyActive = [] {
        QProcess active;
        active.start(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow"), QStringLiteral("getwindowname")});
        active.waitForFinished(5000);
        return active.readAllStandardOutput().trimmed() == "Tavlin";
    };
    clickTray();
    EXPECT_TRUE(waitUntil(historyShown, 5000)) << "a click on the tray icon shows the history window";
    EXPECT_TRUE(waitUntil(historyActive, 5000));
    clickTray();
    EXPECT_TRUE(waitUntil([&] { return !historyShown(); }, 5000))
        << "a second click hides it\n" << application->readAllStandardError().toStdString();

    auto second = profile.launch();
    ASSERT_TRUE(second->waitForFinished(10000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(waitUntil(historyShown, 5000)) << "launching again brings the history window";

    ::kill(application->processId(), SIGTERM);
    ASSERT_TRUE(application->waitForFinished(10000));
    EXPECT_EQ(application->exitCode(), 0);
    EXPECT_EQ(queryTexts(profile.database, QStringLiteral("PRAGMA integrity_check")), QStringList{QStringLiteral("ok")});
    tray.kill();
    windowManager.kill();
    tray.waitForFinished(5000);
    windowManager.waitForFinished(5000);
}
