// The Settings window of the real application on a desktop with openbox and a tray, driven with
// the mouse and keyboard as a user would: every choice is kept across a restart, combinations
// held by the window manager or another program are refused, and a recording abandoned for
// another program gives the keyboard back.
#include "ApplicationProfile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/inotify.h>
#include <unistd.h>

using namespace tavlin::test;

namespace {

// Ctrl+Alt+J: {"keyCode":38,"modifiers":6144}.
const QByteArray startShortcut =
    "<key>quickPanel.shortcut</key><data>eyJrZXlDb2RlIjozOCwibW9kaWZpZXJzIjo2MTQ0fQ==</data>";

QString settingsWindow()
{
    return windowsNamed(QStringLiteral("^Settings$")).value(0);
}

void key(const QString& keys)
{
    run(QStringLiteral("xdotool key --delay 60 ") + keys);
    QTest::qWait(300); // the window handles the keys; nothing to wait for from outside
}

// A click at a point of the Settings window's content (780 by 560).
void clickSettings(int x, int y)
{
    run(QStringLiteral("xdotool mousemove --window %1 %2 %3 click 1").arg(settingsWindow()).arg(x).arg(y));
    QTest::qWait(300);
}

// The sidebar's rows are 40 apart from 34 down.
void openSection(int row)
{
    clickSettings(100, 34 + 40 * row);
}

QJsonObject preferences(const Profile& profile)
{
    QProcess python;
    python.start(
        QStringLiteral("python3"),
        {QStringLiteral("-c"),
         QStringLiteral("import plistlib, json, sys\n"
                        "d = plistlib.load(open(sys.argv[1], 'rb'))\n"
                        "print(json.dumps({k: (v.decode() if isinstance(v, bytes) else v) for k, v in d.items()}))"),
         profile.home + QStringLiteral("/.config/Tavlin/org.tavlin.Tavlin.plist")});
    python.waitForFinished(5000);
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

// How many times a file has been opened, by any process, since this began watching it. Closes are
// watched too: inotify merges an event with an identical one still unread before it.
class OpenCount {
public:
    explicit OpenCount(const QString& path) : watch_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        inotify_add_watch(watch_, QFile::encodeName(path).constData(), IN_OPEN | IN_CLOSE);
    }
    ~OpenCount() { ::close(watch_); }
    int count()
    {
        alignas(inotify_event) char events[4096];
        for (ssize_t size; (size = ::read(watch_, events, sizeof events)) > 0;) {
            for (const char* event = events; event < events + size;
                 event += sizeof(inotify_event) + reinterpret_cast<const inotify_event*>(event)->len)
                opened_ += (reinterpret_cast<const inotify_event*>(event)->mask & IN_OPEN) != 0;
        }
        return opened_;
    }

private:
    int watch_;
    int opened_ = 0;
};

QString storedShortcut(const Profile& profile)
{
    return preferences(profile).value(QStringLiteral("quickPanel.shortcut")).toString();
}

} // namespace

TEST(SettingsEndToEnd, ChoicesMadeInSettingsOutliveARestart)
{
    Profile profile;
    profile.store("<key>onboarding.completed</key><true/>" + startShortcut);
    QDir().mkpath(profile.home + QStringLiteral("/.local/share/applications"));
    const QString editorEntry = profile.home + QStringLiteral("/.local/share/applications/org.example.Editor.desktop");
    writeFile(editorEntry, "[Desktop Entry]\nType=Application\nName=Example Editor\nExec=/bin/false\n");
    OpenCount editorOpened(editorEntry);
    // A system language Tavlin does not speak: its interface, in English, has a locale of its own.
    QProcessEnvironment german = profile.environment();
    for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LC_NUMERIC"})
        german.remove(QLatin1String(variable));
    german.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
    Desktop desktop;
    auto application = profile.launch(german);
    QByteArray log;
    const auto readLog = [&] { log += application->readAllStandardError(); };
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(profile.socket()); }, 10000));
    ASSERT_TRUE(Desktop::openMenu());
    key(QStringLiteral("Down Down Return"));
    ASSERT_TRUE(waitUntil([] { return !settingsWindow().isEmpty(); }, 10000)) << "Settings from the tray menu";

    openSection(1); // Interface: Dark, Cards, no preview
    key(QStringLiteral("Tab End Tab End Tab space"));
    EXPECT_TRUE(waitUntil(
        [&] { return preferences(profile).value(QStringLiteral("interface.theme")) == QStringLiteral("dark"); },
        10000));
    EXPECT_EQ(preferences(profile).value(QStringLiteral("history.viewMode")), QStringLiteral("cards"));
    EXPECT_EQ(preferences(profile).value(QStringLiteral("history.showPreview")), false);

    openSection(2); // Quick Panel
    key(QStringLiteral("Tab space"));
    key(QStringLiteral("ctrl+alt+k"));
    const QString newShortcut = QStringLiteral(R"({"keyCode":40,"modifiers":6144})");
    EXPECT_TRUE(waitUntil([&] { return storedShortcut(profile) == newShortcut; }, 10000))
        << storedShortcut(profile).toStdString();

    // Held by the window manager, and by another program: refused, Ctrl+Alt+K stays.
    key(QStringLiteral("space alt+space"));
    readLog();
    // Logged as ShortcutError 2: taken by another program.
    EXPECT_TRUE(waitUntil(
        [&] {
            readLog();
            return log.count("Tavlin.ShortcutError 2") >= 1;
        },
        10000))
        << log.toStdString();
    QProcess holder;
    holder.start(QStringLiteral(TAVLIN_TEST_HOTKEY_HOLDER), {QStringLiteral("14"), QStringLiteral("6144")});
    ASSERT_TRUE(holder.waitForReadyRead(10000) && holder.readAll().startsWith("ready"));
    key(QStringLiteral("space ctrl+alt+e"));
    EXPECT_TRUE(waitUntil(
        [&] {
            readLog();
            return log.count("Tavlin.ShortcutError 2") >= 2;
        },
        10000))
        << log.toStdString();
    EXPECT_EQ(storedShortcut(profile), newShortcut);

    // A click into another program mid-recording: what is typed there is not recorded.
    QProcess other;
    startTerminal(other, QStringLiteral("terminal"), {QStringLiteral("-geometry"), QStringLiteral("40x8+420+360")});
    ASSERT_TRUE(
        waitUntil([] { return !run(QStringLiteral("xdotool search --onlyvisible --class XTerm")).isEmpty(); }, 10000));
    openSection(2);
    key(QStringLiteral("Tab space"));
    run(QStringLiteral("xdotool mousemove --window %1 150 20 click 1")
            .arg(run(QStringLiteral("xdotool search --onlyvisible --class XTerm")).section(u'\n', 0, 0)));
    QTest::qWait(500);
    key(QStringLiteral("ctrl+alt+j"));
    readLog();
    EXPECT_EQ(storedShortcut(profile), newShortcut);
    other.kill();
    other.waitForFinished(5000);

    openSection(3); // History & Privacy: exclude an application, keep 500 records
    key(QStringLiteral("Tab space Down Return"));
    ASSERT_TRUE(
        waitUntil([] { return Desktop::activeWindowName().endsWith(QStringLiteral("history from an app")); }, 10000))
        << "the chooser";
    EXPECT_EQ(editorOpened.count(), 1)
        << "the installed applications were read again rather than as they were at start";
    key(QStringLiteral("E d i t o r Return"));
    const QJsonArray editor{QStringLiteral("org.example.Editor")};
    EXPECT_TRUE(waitUntil(
        [&] { return preferences(profile).value(QStringLiteral("privacy.excludedApplications")) == editor; }, 10000));
    openSection(3);
    key(QStringLiteral("Tab Tab Tab Up"));
    EXPECT_TRUE(waitUntil(
        [&] { return preferences(profile).value(QStringLiteral("history.retention.clipCount")) == 500; }, 10000));

    ::kill(application->processId(), SIGTERM);
    ASSERT_TRUE(exitsWith(*application, 0));
    holder.kill();
    holder.waitForFinished(5000);
    const QJsonObject kept = preferences(profile);
    EXPECT_EQ(kept.value(QStringLiteral("interface.theme")), QStringLiteral("dark"));
    EXPECT_EQ(kept.value(QStringLiteral("history.viewMode")), QStringLiteral("cards"));
    EXPECT_EQ(kept.value(QStringLiteral("history.showPreview")), false);
    EXPECT_EQ(kept.value(QStringLiteral("quickPanel.shortcut")), newShortcut);
    EXPECT_EQ(kept.value(QStringLiteral("privacy.excludedApplications")), editor);
    EXPECT_EQ(kept.value(QStringLiteral("history.retention.clipCount")), 500);

    // After a restart the new shortcut reaches Tavlin, and Settings opens again.
    application = profile.launch();
    log.clear();
    // The shortcut is taken once the application says which it is.
    ASSERT_TRUE(waitUntil(
        [&] {
            readLog();
            return log.contains("Quick Panel shortcut");
        },
        10000));
    key(QStringLiteral("ctrl+alt+k"));
    EXPECT_TRUE(waitUntil(
        [&] {
            readLog();
            return log.contains("Quick Panel shortcut pressed");
        },
        10000))
        << log.toStdString();
    ASSERT_TRUE(Desktop::openMenu());
    key(QStringLiteral("Down Down Return"));
    EXPECT_TRUE(waitUntil([] { return !settingsWindow().isEmpty(); }, 10000));
    ::kill(application->processId(), SIGTERM);
    ASSERT_TRUE(exitsWith(*application, 0));
    EXPECT_EQ(preferences(profile), kept) << "reading them back changed nothing";
}
