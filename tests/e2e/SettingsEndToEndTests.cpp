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
    writeFile(profile.home + QStringLiteral("/.local/share/applications/org.example.Editor.desktop"),
              "[Desktop Entry]\nType=Application\nName=Example Editor\nExec=/bin/false\n");
    Desktop desktop;
    auto application = profile.launch();
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
    other.start(QStringLiteral("xterm"), {QStringLiteral("-geometry"), QStringLiteral("40x8+420+360")});
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
