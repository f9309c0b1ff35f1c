// What a screen reader hears of the real application, read through AT-SPI as assistive
// technology reads it, on a desktop with openbox and a tray.
#include "ApplicationProfile.h"
#include "AssistiveTechnology.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>

using namespace tavlin::test;

namespace {

// Preferences away from every default, so that a picker can only say them by reading them.
const QByteArray chosenPreferences = "<key>onboarding.completed</key><true/>" + freeShortcut
    + "<key>interface.theme</key><string>dark</string>"
      "<key>history.viewMode</key><string>cards</string>"
      "<key>AppleLanguages</key><array><string>en</string></array>"
      "<key>history.retention.clipCount</key><integer>1000</integer>"
      "<key>history.retention.payloadBytes</key><integer>134217728</integer>";

struct RunningApplication {
    Profile profile;
    Desktop desktop;
    AssistiveTechnology assistive;
    std::unique_ptr<QProcess> application;

    RunningApplication()
    {
        profile.store(chosenPreferences);
        application = assistive.launch(profile);
        QByteArray log;
        if (!waitForMonitoring(*application, log))
            ADD_FAILURE() << log.toStdString();
        QTest::qWait(1000); // the tray embeds the icon
        Desktop::clickTray();
        if (!waitUntil([] { return !windowsNamed(QStringLiteral("^Tavlin$")).isEmpty(); }, 5000))
            ADD_FAILURE() << "the history window opens from the tray";
    }
    ~RunningApplication()
    {
        ::kill(application->processId(), SIGTERM);
        application->waitForFinished(10000);
    }

    // Waits until a control of that name is heard as `line` ("role|states|text").
    bool heard(const QString& name, const QString& line) const
    {
        return waitUntil([&] { return assistive.hear(name).contains(line); }, 10000);
    }
    // Waits until the button of that name is heard as chosen, or as not chosen.
    bool heardChosen(const QString& name, bool chosen) const
    {
        return waitUntil(
            [&] {
                const QStringList lines = assistive.hear(name);
                const bool checked = std::any_of(lines.cbegin(), lines.cend(), [](const QString& line) {
                    return line.section(u'|', 1, 1).split(u',').contains(QStringLiteral("checked"));
                });
                return !lines.isEmpty() && checked == chosen;
            },
            10000);
    }
    std::string said(const QString& name) const { return assistive.hear(name).join(u'\n').toStdString(); }
};

} // namespace

TEST(AccessibilityEndToEnd, EachPickerSaysItsValueAndEachWindowIsAFrame)
{
    RunningApplication running;
    EXPECT_TRUE(running.heard(QStringLiteral("Tavlin"), QStringLiteral("frame||")))
        << running.said(QStringLiteral("Tavlin"));

    ASSERT_TRUE(running.assistive.press(QStringLiteral("Settings")));
    EXPECT_TRUE(running.heard(QStringLiteral("Settings"), QStringLiteral("frame||")))
        << running.said(QStringLiteral("Settings"));

    ASSERT_TRUE(running.assistive.press(QStringLiteral("Interface")));
    const QList<std::pair<QString, QString>> interfaceValues{
        {QStringLiteral("Theme"), QStringLiteral("Dark")},
        {QStringLiteral("History view"), QStringLiteral("Cards")},
        {QStringLiteral("App language"), QStringLiteral("English")},
    };
    for (const auto& [picker, value] : interfaceValues)
        EXPECT_TRUE(running.heard(picker, QStringLiteral("combo box||") + value)) << running.said(picker);

    ASSERT_TRUE(running.assistive.press(QStringLiteral("History & Privacy")));
    EXPECT_TRUE(running.heard(QStringLiteral("Number of records"), QStringLiteral("combo box||1,000")))
        << running.said(QStringLiteral("Number of records"));
    EXPECT_TRUE(running.heard(QStringLiteral("Record data size"), QStringLiteral("combo box||128 MB")))
        << running.said(QStringLiteral("Record data size"));
}

TEST(AccessibilityEndToEnd, TheChosenKindAndSectionAreHeardAsChosen)
{
    RunningApplication running;
    EXPECT_TRUE(running.heardChosen(QStringLiteral("All"), true)) << running.said(QStringLiteral("All"));
    EXPECT_TRUE(running.heardChosen(QStringLiteral("Text"), false)) << running.said(QStringLiteral("Text"));
    ASSERT_TRUE(running.assistive.press(QStringLiteral("Text")));
    EXPECT_TRUE(running.heardChosen(QStringLiteral("Text"), true)) << running.said(QStringLiteral("Text"));
    EXPECT_TRUE(running.heardChosen(QStringLiteral("All"), false)) << running.said(QStringLiteral("All"));

    EXPECT_TRUE(running.heardChosen(QStringLiteral("History"), true)) << running.said(QStringLiteral("History"));
    ASSERT_TRUE(running.assistive.press(QStringLiteral("Favorites")));
    EXPECT_TRUE(running.heardChosen(QStringLiteral("Favorites"), true)) << running.said(QStringLiteral("Favorites"));
    EXPECT_TRUE(running.heardChosen(QStringLiteral("History"), false)) << running.said(QStringLiteral("History"));
}
