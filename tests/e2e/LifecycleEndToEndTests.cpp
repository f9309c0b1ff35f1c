// The real application's life from outside, on a private Xvfb with openbox and trayer: quitting
// and restarting end the process whatever is open, and the command line answers without
// starting Tavlin.
#include "ApplicationProfile.h"
#include "AssistiveTechnology.h"

#include <gtest/gtest.h>

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
    profile.store("<key>onboarding.completed</key><true/>" + freeShortcut);
    auto application = assistive ? assistive->launch(profile) : profile.launch();
    QByteArray log;
    EXPECT_TRUE(waitForMonitoring(*application, log)) << log.toStdString();
    return application;
}

// The history window from the tray, once the tray has embedded the icon.
void showHistoryFromTray()
{
    EXPECT_TRUE(waitUntil([] {
        Desktop::clickTray();
        return waitUntil([] { return shown(QStringLiteral("^Tavlin$")); }, 500);
    }, 10000));
}

// "Quit Tavlin", the status menu's last item.
void quitFromTray()
{
    Desktop::clickTray(3);
    QTest::qWait(700);
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
        ASSERT_TRUE(waitUntil([] { return shown(QStringLiteral("^Settings$")); }, 5000));
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
        ASSERT_TRUE(waitUntil([] { return shown(QStringLiteral("^Settings$")); }, 5000));
        run(QStringLiteral("xdotool key ctrl+alt+k"));
        ASSERT_TRUE(waitUntil([] { return Desktop::activeWindowName() == u"Tavlin Quick Panel"; }, 5000));
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
        ASSERT_TRUE(waitUntil([&] { return records(profile) == 1; }, 5000));
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
    profile.store("<key>onboarding.completed</key><true/><key>settings.reopenAfterRestart</key><string>interface</string>"
                  + freeShortcut);
    // Into a file: the new instance inherits it, and a pipe would be closed once this one ends.
    QProcess application;
    application.setProcessEnvironment(assistive.environment(profile.environment()));
    application.setStandardErrorFile(profile.folder.path() + QStringLiteral("/log"));
    application.start(QStringLiteral(TAVLIN_APPLICATION), QStringList());
    ASSERT_TRUE(waitUntil([] { return shown(QStringLiteral("^Settings$")); }, 10000));
    ASSERT_TRUE(assistive.press(QStringLiteral("Restart Tavlin")));
    expectEnded(application, "Restart");
    QString relaunched;
    EXPECT_TRUE(waitUntil([&] {
        relaunched = run(QStringLiteral("xdotool search --onlyvisible --name ^Settings$ getwindowpid"));
        return !relaunched.isEmpty();
    }, 15000)) << "the new instance reopens Settings\n" << readFile(profile.folder.path() + QStringLiteral("/log")).toStdString();
    if (!relaunched.isEmpty()) {
        ::kill(relaunched.toInt(), SIGTERM);
        EXPECT_TRUE(waitUntil([&] { return ::kill(relaunched.toInt(), 0) != 0; }, 10000));
    }
}

TEST(LifecycleEndToEnd, TheCommandLineAnswersWithoutStartingTavlin)
{
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
