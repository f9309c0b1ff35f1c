// A new user's first start of the real application, on a private Xvfb with a window manager and
// a tray: the introduction comes first, nothing copied meanwhile is kept, and capturing starts
// once it is finished.
#include "ApplicationProfile.h"
#include "AssistiveTechnology.h"

#include <gtest/gtest.h>

using namespace tavlin::test;

namespace {

const QString introductionTitle = QStringLiteral("\"^Welcome to Tavlin$\"");

bool introductionShown()
{
    return !windowsNamed(introductionTitle).isEmpty();
}

bool historyShown()
{
    return !windowsNamed(QStringLiteral("^Tavlin$")).isEmpty();
}

// Keys to the introduction window, made active first as a click on it would.
void typeToIntroduction(const QString& keys)
{
    activateWindowNamed(introductionTitle);
    QProcess::execute(QStringLiteral("xdotool"),
                      QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("250")}
                          + keys.split(u' '));
}

void copy(const QString& text)
{
    QProcess::execute(QStringLiteral("sh"),
                      {QStringLiteral("-c"), QStringLiteral("printf '%1' | xclip -selection clipboard").arg(text)});
}

QByteArray clipboard()
{
    QProcess process;
    process.start(QStringLiteral("xclip"),
                  {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard")});
    process.waitForFinished(5000);
    return process.readAllStandardOutput();
}

QByteArray preferences(const Profile& profile)
{
    return readFile(profile.home + QStringLiteral("/.config/Tavlin/org.tavlin.Tavlin.plist"));
}

// Once the introduction is done: Ctrl+, in the active window opens Settings, SIGTERM stops
// Tavlin, and the next start shows no introduction and keeps a copy at once.
void opensSettingsThenRestarts(const Profile& profile, QProcess& application)
{
    run(QStringLiteral("xdotool key ctrl+comma"));
    EXPECT_TRUE(waitUntil([] { return !windowsNamed(QStringLiteral("^Settings$")).isEmpty(); }, 10000));
    EXPECT_FALSE(introductionShown());
    stop(application);

    const qint64 kept = records(profile);
    auto restarted = profile.launch();
    QByteArray log;
    ASSERT_TRUE(waitForMonitoring(*restarted, log)) << log.toStdString();
    copy(QStringLiteral("after the restart"));
    EXPECT_TRUE(waitUntil([&] { return records(profile) == kept + 1; }, 10000));
    EXPECT_FALSE(introductionShown());
    stop(*restarted);
}

} // namespace

TEST(IntroductionEndToEnd, AFreshProfileKeepsOnlyWhatIsCopiedAfterTheIntroduction)
{
    Desktop desktop;
    Profile profile;
    auto application = profile.launch();
    ASSERT_TRUE(waitUntil(introductionShown, 10000)) << application->readAllStandardError().toStdString();
    copy(QStringLiteral("copied during the introduction"));

    // Continue three times, then Get Started.
    typeToIntroduction(QStringLiteral("Return Return Return Return"));
    EXPECT_TRUE(waitUntil(historyShown, 10000)) << "the history window opens";
    EXPECT_TRUE(waitUntil([] { return !introductionShown(); }, 10000));
    EXPECT_TRUE(preferences(profile).contains("<key>onboarding.completed</key>"));
    copy(QStringLiteral("copied afterwards"));
    ASSERT_TRUE(waitUntil([&] { return records(profile) == 1; }, 10000));
    EXPECT_EQ(queryTexts(profile.database, QStringLiteral("SELECT text FROM clips")),
              QStringList{QStringLiteral("copied afterwards")});
    // The introduction no longer stands in for Settings.
    activateWindowNamed(QStringLiteral("^Tavlin$"));
    opensSettingsThenRestarts(profile, *application);
}

TEST(IntroductionEndToEnd, AClosedIntroductionWaitsForTheNextStart)
{
    Desktop desktop;
    Profile profile;
    auto application = profile.launch();
    ASSERT_TRUE(waitUntil(introductionShown, 10000)) << application->readAllStandardError().toStdString();

    // A second launch hands over and leaves; the introduction stays.
    auto second = profile.launch();
    EXPECT_TRUE(exitsWith(*second, 0));
    EXPECT_TRUE(introductionShown());

    typeToIntroduction(QStringLiteral("Return"));
    // A quick click on its background is only a click: the keys that follow still reach it.
    run(QStringLiteral("xdotool search --onlyvisible --name ^Welcome.to.Tavlin$ mousemove --window %1 20 300 click 1"));
    typeToIntroduction(QStringLiteral("ctrl+w"));
    ASSERT_TRUE(waitUntil([] { return !introductionShown(); }, 10000));
    EXPECT_FALSE(preferences(profile).contains("<key>onboarding.completed</key>"));
    // Capturing stays off: the tray brings the introduction back, from its first step.
    copy(QStringLiteral("copied while it waits"));
    // On a loaded machine the tray may still be embedding the icon, and a click then finds nothing.
    EXPECT_TRUE(waitUntil(
        [] {
            Desktop::clickTray();
            return waitUntil(introductionShown, 1000);
        },
        10000));
    EXPECT_FALSE(historyShown());
    EXPECT_EQ(records(profile), 0);
    stop(*application);

    // Skip, found by its accessible name.
    AssistiveTechnology assistive;
    application = assistive.launch(profile);
    EXPECT_TRUE(waitUntil(introductionShown, 10000)) << "shown again at the next start";
    EXPECT_TRUE(assistive.press(QStringLiteral("Skip")));
    EXPECT_TRUE(waitUntil(historyShown, 10000));
    EXPECT_TRUE(preferences(profile).contains("<key>onboarding.completed</key>"));
    stop(*application);
    EXPECT_EQ(records(profile), 0);
}

// The whole application as a new user meets it, every control found as assistive technology
// finds it.
TEST(IntroductionEndToEnd, ANewUserMeetsTheApplication)
{
    Desktop desktop;
    AssistiveTechnology assistive;
    Profile profile;
    auto application = assistive.launch(profile);
    ASSERT_TRUE(waitUntil(introductionShown, 10000)) << application->readAllStandardError().toStdString();
    copy(QStringLiteral("copied during the introduction"));
    // Cards for the history, then Skip: the choice made so far is kept.
    ASSERT_TRUE(assistive.press(QStringLiteral("Continue")));
    ASSERT_TRUE(assistive.press(QStringLiteral("Cards")));
    ASSERT_TRUE(assistive.press(QStringLiteral("Skip")));
    EXPECT_TRUE(waitUntil(historyShown, 10000)) << "the history window opens";
    EXPECT_TRUE(preferences(profile).contains("<string>cards</string>")) << preferences(profile).toStdString();

    copy(QStringLiteral("alpha one"));
    ASSERT_TRUE(waitUntil([&] { return records(profile) == 1; }, 10000));
    copy(QStringLiteral("beta two"));
    ASSERT_TRUE(waitUntil([&] { return records(profile) == 2; }, 10000));
    EXPECT_EQ(queryTexts(profile.database, QStringLiteral("SELECT text FROM clips ORDER BY id")),
              (QStringList{QStringLiteral("alpha one"), QStringLiteral("beta two")}));

    // A search narrows the listing; Return on the chosen record puts it back on the clipboard.
    activateWindowNamed(QStringLiteral("^Tavlin$"));
    ASSERT_TRUE(assistive.ask("focus", QStringLiteral("Search history…")));
    run(QStringLiteral("xdotool type --delay 60 alpha"));
    EXPECT_TRUE(assistive.ask("gone", QStringLiteral("TEXT: beta two")));
    EXPECT_TRUE(assistive.ask("find", QStringLiteral("TEXT: alpha one")));
    // Down leads from the search field to the card it found.
    run(QStringLiteral("xdotool key Down"));
    EXPECT_TRUE(waitUntil(
        [] {
            run(QStringLiteral("xdotool key Return"));
            return clipboard() == "alpha one";
        },
        10000))
        << clipboard().toStdString() << " in " << Desktop::activeWindowName().toStdString() << "\n"
        << application->readAllStandardError().toStdString();

    // The Quick Panel over a terminal; Escape gives the terminal its keyboard back.
    QProcess terminal;
    startTerminal(terminal, QStringLiteral("terminal"));
    QString xterm;
    ASSERT_TRUE(
        waitUntil([&] { return !(xterm = windowsNamed(QStringLiteral("^terminal$")).value(0)).isEmpty(); }, 10000));
    run(QStringLiteral("xdotool windowactivate --sync ") + xterm);
    run(QStringLiteral("xdotool key ctrl+alt+v"));
    EXPECT_TRUE(waitUntil([] { return Desktop::activeWindowName() == u"Tavlin Quick Panel"; }, 15000));
    run(QStringLiteral("xdotool key Escape"));
    EXPECT_TRUE(waitUntil([&] { return run(QStringLiteral("xdotool getactivewindow")) == xterm; }, 10000));

    // Back to Tavlin from the tray.
    EXPECT_FALSE(Desktop::openHistory().isEmpty());
    opensSettingsThenRestarts(profile, *application);
    terminal.kill();
    terminal.waitForFinished(5000);
}

TEST(IntroductionEndToEnd, SettingsReplaysTheIntroductionWhileCopiesAreKept)
{
    Desktop desktop;
    AssistiveTechnology assistive;
    Profile profile;
    // Settings opens at its Interface section, as after a language change.
    profile.store(
        "<key>onboarding.completed</key><true/><key>settings.reopenAfterRestart</key><string>interface</string>"
        + freeShortcut);
    auto application = assistive.launch(profile);
    ASSERT_TRUE(waitUntil([] { return !windowsNamed(QStringLiteral("^Settings$")).isEmpty(); }, 10000));
    ASSERT_TRUE(assistive.press(QStringLiteral("Replay Introduction")));
    EXPECT_TRUE(waitUntil(introductionShown, 10000));

    copy(QStringLiteral("copied during the replay"));
    EXPECT_TRUE(waitUntil([&] { return records(profile) == 1; }, 10000)) << "capturing goes on";
    ASSERT_TRUE(assistive.press(QStringLiteral("Skip")));
    EXPECT_TRUE(waitUntil([] { return !introductionShown(); }, 10000));
    EXPECT_FALSE(historyShown()) << "a replay opens nothing else";
    stop(*application);
}
