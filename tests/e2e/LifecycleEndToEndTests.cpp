// The real application's life from outside, on a private Xvfb with openbox and trayer: quitting
// and restarting end the process whatever is open, and the command line answers without
// starting Tavlin.
#include "ApplicationProfile.h"
#include "AssistiveTechnology.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>

using namespace tavlin::test;

namespace {

bool shown(const QString& title)
{
    return !windowsNamed(title).isEmpty();
}

// A profile past the introduction, launched and capturing.
std::unique_ptr<QProcess> launchKnown(Profile& profile, const AssistiveTechnology* assistive = nullptr)
{
    profile.storeKnown();
    auto application = assistive ? assistive->launch(profile) : profile.launch();
    QByteArray log;
    EXPECT_TRUE(waitForMonitoring(*application, log)) << log.toStdString();
    return application;
}

void showHistoryFromTray()
{
    EXPECT_FALSE(Desktop::openHistory().isEmpty()) << "the history window did not open from the tray";
}

// "Quit Tavlin", the status menu's last item.
void quitFromTray()
{
    ASSERT_TRUE(Desktop::openMenu());
    run(QStringLiteral("xdotool key Up Return"));
}

// The process itself ended, normally and with status 0.
void expectEnded(QProcess& application, const char* what)
{
    ASSERT_TRUE(application.waitForFinished(10000)) << what << " left the process running";
    EXPECT_EQ(application.exitStatus(), QProcess::NormalExit) << what;
    EXPECT_EQ(application.exitCode(), 0) << what << "\n" << application.readAllStandardError().toStdString();
}

} // namespace

TEST(LifecycleEndToEnd, QuitAndEverySignalEndTheProcessWhateverIsOpen)
{
    Desktop desktop;
    {
        Profile profile;
        auto application = launchKnown(profile);
        showHistoryFromTray();
        run(QStringLiteral("xdotool key ctrl+comma"));
        ASSERT_TRUE(waitUntil([] { return shown(QStringLiteral("^Settings$")); }, 10000));
        quitFromTray();
        expectEnded(*application, "Quit with the history window and Settings open");
    }
    {
        Profile profile;
        auto application = profile.launch();
        ASSERT_TRUE(waitUntil([] { return shown(QStringLiteral("\"^Welcome to Tavlin$\"")); }, 10000));
        const QString introduction = windowsNamed(QStringLiteral("\"^Welcome to Tavlin$\"")).value(0);
        const QString actions = run(QStringLiteral("xprop -id %1 _NET_WM_ALLOWED_ACTIONS").arg(introduction));
        EXPECT_TRUE(actions.contains(u"_NET_WM_ACTION_CLOSE")) << actions.toStdString();
        EXPECT_FALSE(actions.contains(u"MINIMIZE") || actions.contains(u"MAXIMIZE")) << actions.toStdString();
        ::kill(application->processId(), SIGINT);
        expectEnded(*application, "SIGINT with the introduction open");
    }
    {
        Profile profile;
        auto application = launchKnown(profile);
        showHistoryFromTray();
        run(QStringLiteral("xdotool key ctrl+comma"));
        ASSERT_TRUE(waitUntil([] { return shown(QStringLiteral("^Settings$")); }, 10000));
        run(QStringLiteral("xdotool key ctrl+alt+k"));
        ASSERT_TRUE(waitUntil([] { return Desktop::activeWindowName() == u"Tavlin Quick Panel"; }, 15000));
        ::kill(application->processId(), SIGHUP);
        expectEnded(*application, "SIGHUP with the Quick Panel open");
    }
}

// A screen reader's bridge has read the tree: quitting with the clear sheet open, and restarting
// for a new language, still end the process.
TEST(LifecycleEndToEnd, WithAssistiveTechnologyQuitAndRestartEndTheProcess)
{
    Desktop desktop;
    AssistiveTechnology assistive;
    {
        Profile profile;
        auto application = launchKnown(profile, &assistive);
        run(QStringLiteral("sh -c \"printf 'a record' | xclip -selection clipboard\"")); // something to clear
        ASSERT_TRUE(waitUntil([&] { return records(profile) == 1; }, 10000));
        showHistoryFromTray();
        ASSERT_TRUE(assistive.press(QStringLiteral("More Actions")));
        QTest::qWait(700);
        run(QStringLiteral("xdotool key Down Return")); // its first item, "Clear All History…"
        ASSERT_TRUE(assistive.ask("find", QStringLiteral("Clear History?")));
        run(QStringLiteral("xdotool key ctrl+comma"));
        quitFromTray();
        expectEnded(*application, "Quit with the clear sheet open");
    }
    // Restart, pressed as a screen reader presses it: the new instance reopens Settings.
    Profile profile;
    profile.store(
        "<key>onboarding.completed</key><true/><key>settings.reopenAfterRestart</key><string>interface</string>"
        + freeShortcut);
    // Into a file: the new instance inherits it, and a pipe would be closed once this one ends.
    QProcess application;
    application.setProcessEnvironment(assistive.environment(profile.environment()));
    application.setStandardErrorFile(profile.folder.path() + QStringLiteral("/log"));
    application.start(QStringLiteral(TAVLIN_APPLICATION), QStringList());
    ASSERT_TRUE(waitUntil([] { return shown(QStringLiteral("^Settings$")); }, 10000));
    // Russian chosen from the keyboard (the picker's option after "System Default", English in
    // the profile's environment) brings the restart button.
    activateWindowNamed(QStringLiteral("^Settings$"));
    const QString language = QStringLiteral("App language");
    const auto languageFocused = [&] {
        QString heard;
        assistive.ask("hear", language, &heard);
        return heard.contains(QStringLiteral("combo box|focused|"));
    };
    for (int stop = 0; stop < 12 && !languageFocused(); ++stop)
        run(QStringLiteral("xdotool key Tab"));
    ASSERT_TRUE(languageFocused());
    run(QStringLiteral("xdotool key Down"));
    ASSERT_TRUE(assistive.press(QStringLiteral("Restart Tavlin")));
    expectEnded(application, "Restart");
    QString relaunched;
    EXPECT_TRUE(waitUntil(
        [&] {
            relaunched = run(QStringLiteral("xdotool search --onlyvisible --name ^Настройки$ getwindowpid"));
            return !relaunched.isEmpty();
        },
        15000))
        << "the new instance reopens Settings\n"
        << readFile(profile.folder.path() + QStringLiteral("/log")).toStdString();
    if (!relaunched.isEmpty()) {
        ::kill(relaunched.toInt(), SIGTERM);
        EXPECT_TRUE(waitUntil([&] { return ::kill(relaunched.toInt(), 0) != 0; }, 10000));
    }
}

TEST(LifecycleEndToEnd, TheCommandLineAnswersWithoutStartingTavlin)
{
    Desktop desktop; // with a tray, where the running one shows no window of its own
    Profile profile;
    auto application = launchKnown(profile);
    const auto call = [&](const QString& argument) {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(profile.environment());
        process->start(QStringLiteral(TAVLIN_APPLICATION), {argument});
        EXPECT_TRUE(process->waitForFinished(10000)) << argument.toStdString();
        return process;
    };
    for (const QString& argument : {QStringLiteral("--help"), QStringLiteral("--version")}) {
        auto answer = call(argument);
        EXPECT_EQ(answer->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(answer->exitCode(), 0) << argument.toStdString();
        EXPECT_TRUE(answer->readAllStandardOutput().contains(argument == u"--help" ? "--version" : "Tavlin "));
        EXPECT_TRUE(answer->readAllStandardError().isEmpty());
    }
    auto refused = call(QStringLiteral("--frobnicate"));
    EXPECT_EQ(refused->exitCode(), 2);
    EXPECT_TRUE(refused->readAllStandardError().contains("frobnicate"));
    EXPECT_TRUE(refused->readAllStandardOutput().isEmpty());

    EXPECT_FALSE(shown(QStringLiteral("^Tavlin$"))) << "the running one was left alone";
    EXPECT_EQ(application->state(), QProcess::Running);
    ::kill(application->processId(), SIGTERM);
    expectEnded(*application, "SIGTERM");
}

// The Quick Panel's opening, frame by frame: it comes as a strip already holding its rows and
// only grows; nothing full-size or empty is ever painted before it.
TEST(LifecycleEndToEnd, TheQuickPanelGrowsFromAStripWithItsRowsAlreadyThere)
{
    Desktop desktop;
    Profile profile;
    auto application = launchKnown(profile);
    for (int copy = 1; copy <= 3; ++copy) {
        run(QStringLiteral("sh -c \"printf 'record %1' | xclip -selection clipboard\"").arg(copy));
        ASSERT_TRUE(waitUntil([&] { return records(profile) == copy; }, 10000));
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect top(0, 0, screen->geometry().width(), 400);
    const QImage before = screen->grabWindow(0, top.x(), top.y(), top.width(), top.height()).toImage();
    // The rows of pixels that differ from the desktop before the press.
    const auto height = [&](const QImage& frame) {
        int first = -1, last = -1;
        for (int y = 0; y < frame.height(); ++y) {
            const auto* a = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
            const auto* b = reinterpret_cast<const QRgb*>(before.constScanLine(y));
            if (!std::equal(a, a + frame.width(), b)) {
                first = first < 0 ? y : first;
                last = y;
            }
        }
        return first < 0 ? 0 : last - first + 1;
    };
    QProcess::startDetached(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+alt+k")});
    // Frames until the panel has stood open at one height for half a second: on a loaded machine
    // the key press alone can take longer than the whole opening takes on an idle one.
    QList<int> heights;
    QList<qint64> times;
    QElapsedTimer clock;
    clock.start();
    qint64 settledSince = 0;
    while (clock.elapsed() < 20000) {
        heights.append(height(screen->grabWindow(0, top.x(), top.y(), top.width(), top.height()).toImage()));
        times.append(clock.elapsed());
        if (heights.size() < 2 || heights.last() != heights[heights.size() - 2])
            settledSince = times.last();
        if (heights.last() > 100 && times.last() - settledSince >= 500)
            break;
    }
    QString sequence;
    for (int index = 0; index < heights.size(); ++index) {
        if (index == 0 || heights[index] != heights[index - 1])
            sequence += QStringLiteral(" %1ms:%2").arg(times[index]).arg(heights[index]);
    }
    const int full = heights.last();
    ASSERT_GT(full, 100) << "the panel opened:" << sequence.toStdString() << "\n"
                         << application->readAllStandardError().toStdString();
    const qsizetype shown = std::find_if(heights.cbegin(), heights.cend(), [](int h) { return h > 0; })
        - heights.cbegin();
    EXPECT_LT(heights[shown], full) << "it starts as a strip:" << sequence.toStdString();
    EXPECT_TRUE(std::is_sorted(heights.cbegin(), heights.cend())) << "it only grows:" << sequence.toStdString();
    ::kill(application->processId(), SIGTERM);
    expectEnded(*application, "SIGTERM");
}

// A launch made just after Escape, while the panel closes and gives the terminal its keyboard
// back, still brings the history window.
TEST(LifecycleEndToEnd, ALaunchJustAfterEscapeShowsTheHistoryWindow)
{
    Desktop desktop;
    Profile profile;
    auto application = launchKnown(profile);
    QProcess terminal;
    startTerminal(terminal, QStringLiteral("terminal"));
    QString xterm;
    ASSERT_TRUE(
        waitUntil([&] { return !(xterm = windowsNamed(QStringLiteral("^terminal$")).value(0)).isEmpty(); }, 10000));
    int shownCount = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        run(QStringLiteral("xdotool windowactivate --sync ") + xterm);
        run(QStringLiteral("xdotool key ctrl+alt+k"));
        ASSERT_TRUE(waitUntil([] { return Desktop::activeWindowName() == u"Tavlin Quick Panel"; }, 15000));
        run(QStringLiteral("xdotool key Escape"));
        auto second = profile.start();
        second->waitForFinished(10000);
        // Shown once the panel has gone, not merely on the way while it closes.
        shownCount += waitUntil(
            [] { return shown(QStringLiteral("^Tavlin$")) && !shown(QStringLiteral("\"^Tavlin Quick Panel$\"")); },
            10000);
        const QString history = windowsNamed(QStringLiteral("^Tavlin$")).value(0);
        run(QStringLiteral("xdotool windowactivate --sync ") + history);
        EXPECT_TRUE(Desktop::type(history, QStringLiteral("ctrl+w")));
        EXPECT_TRUE(waitUntil([] { return !shown(QStringLiteral("^Tavlin$")); }, 10000));
    }
    EXPECT_EQ(shownCount, 3);
    terminal.kill();
    terminal.waitForFinished(5000);
    ::kill(application->processId(), SIGTERM);
    expectEnded(*application, "SIGTERM");
}
