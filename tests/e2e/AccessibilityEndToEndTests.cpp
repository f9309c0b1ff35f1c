// What a screen reader hears of the real application, read through AT-SPI as assistive
// technology reads it, on a desktop with openbox and a tray.
#include "ApplicationProfile.h"
#include "AssistiveTechnology.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <utility>

using namespace tavlin::test;

namespace {

// Preferences away from every default, so that a picker can only say them by reading them.
const QByteArray chosenPreferences = "<key>onboarding.completed</key><true/>" + freeShortcut
    + "<key>interface.theme</key><string>dark</string>"
      "<key>history.viewMode</key><string>cards</string>"
      "<key>AppleLanguages</key><array><string>en</string></array>"
      "<key>history.retention.clipCount</key><integer>1000</integer>"
      "<key>history.retention.payloadBytes</key><integer>134217728</integer>";
// The records' texts, "note 1" the oldest.
const QString numberedNotes = QStringLiteral(
    "UPDATE clips SET text = 'note ' || id; UPDATE clips SET search_text = text");
const QByteArray listPreferences =
    QByteArray(chosenPreferences).replace("<string>cards</string>", "<string>list</string>");

struct RunningApplication {
    Profile profile;
    Desktop desktop;
    AssistiveTechnology assistive;
    std::unique_ptr<QProcess> application;

    // With `records` ordinary records in the history, which `sql` may then change, and whatever
    // `prepare` puts in the profile before the application starts.
    explicit RunningApplication(int records = 0, const QString& sql = {},
                                const QByteArray& preferences = chosenPreferences,
                                const std::function<void(const Profile&)>& prepare = {})
    {
        profile.store(preferences);
        if (prepare)
            prepare(profile);
        if (records > 0) {
            QDir().mkpath(QFileInfo(profile.database).path());
            storeHistory(profile.database, records);
            if (!sql.isEmpty())
                executeSQL(profile.database, sql);
        }
        application = assistive.launch(profile);
        QByteArray log;
        if (!waitForMonitoring(*application, log))
            ADD_FAILURE() << log.toStdString();
        if (!waitUntil(Desktop::holdsIcon, 20000))
            ADD_FAILURE() << "the tray never showed the icon";
        Desktop::clickTray();
        if (!waitUntil([] { return !windowsNamed(QStringLiteral("^Tavlin$")).isEmpty(); }, 10000))
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

void keys(const QString& keys)
{
    run(QStringLiteral("xdotool key --delay 300 ") + keys);
}

// Two records, "first" and "second", and the history window in front with the keyboard.
void copyTwoRecordsAndActivate(const RunningApplication& running)
{
    copyWithXclip(QStringLiteral("first"));
    ASSERT_TRUE(waitUntil([&] { return records(running.profile) == 1; }, 10000));
    copyWithXclip(QStringLiteral("second"));
    ASSERT_TRUE(waitUntil([&] { return !running.assistive.hear(QStringLiteral("TEXT: second")).isEmpty(); }, 10000));
    activateWindowNamed(QStringLiteral("^Tavlin$"));
}

// Where the focus came, in order, as a screen reader is told: "role|states|name". Focus that
// goes on at once from a list to one of its items is one stop, at the item.
QStringList focusStops(const QStringList& told)
{
    QStringList stops;
    QString container;
    for (const QString& line : told) {
        const QStringList fields = line.split(u'|');
        if (fields.size() < 7 || fields[0] != QLatin1String("object:state-changed:focused")
            || fields[1] != QLatin1String("1"))
            continue;
        const QString parent = fields[5] + u'|' + fields[6];
        if (!stops.isEmpty() && parent == container)
            stops.removeLast();
        stops.append(fields.mid(2, 3).join(u'|'));
        container = fields[2] + u'|' + fields[4];
    }
    return stops;
}

// Presses the key that often in the active window; where the focus came each time. The listener
// hears until the focus has come to rest after the last key rather than for a time guessed in
// advance, which a loaded machine's rounds of keys outlast: the last stops would go unheard.
QStringList tabThrough(const AssistiveTechnology& assistive, int presses, const QString& key = QStringLiteral("Tab"))
{
    auto listener = assistive.listen(presses * 3 + 60);
    for (int pressed = 0; pressed < presses; pressed += 8)
        keys(QStringList(std::min(8, presses - pressed), key).join(u' '));
    AssistiveTechnology::stopOnceQuiet(*listener);
    return focusStops(AssistiveTechnology::told(*listener));
}

// Each stop is a showing object with a name: something a screen reader can say and the eye see.
void expectNamedAndShowing(const QStringList& stops)
{
    EXPECT_FALSE(stops.isEmpty());
    for (const QString& stop : stops) {
        EXPECT_FALSE(stop.section(u'|', 2).isEmpty()) << "a stop without a name: " << stop.toStdString();
        EXPECT_TRUE(stop.section(u'|', 1, 1).split(u',').contains(QStringLiteral("showing")))
            << "a stop on nothing to be seen: " << stop.toStdString();
    }
}

QStringList names(const QStringList& stops)
{
    QStringList names;
    for (const QString& stop : stops)
        names.append(stop.section(u'|', 2));
    return names;
}

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
    EXPECT_TRUE(running.heard(QStringLiteral("Add App"), QStringLiteral("push button|expandable|")))
        << running.said(QStringLiteral("Add App"));
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

TEST(AccessibilityEndToEnd, ChoicesAreRadioButtonsAndTheRecordsAreNamedByTheirHeading)
{
    RunningApplication running;
    copyWithXclip(QStringLiteral("hello"));
    for (const QString& line :
         {QStringLiteral("radio button|checked|"), QStringLiteral("heading||"), QStringLiteral("list||")})
        EXPECT_TRUE(running.heard(QStringLiteral("History"), line)) << running.said(QStringLiteral("History"));
    EXPECT_TRUE(running.heard(QStringLiteral("Favorites"), QStringLiteral("radio button||")))
        << running.said(QStringLiteral("Favorites"));
    EXPECT_TRUE(running.heard(QStringLiteral("All"), QStringLiteral("radio button|checked|")))
        << running.said(QStringLiteral("All"));
    EXPECT_TRUE(running.heard(QStringLiteral("Images"), QStringLiteral("radio button||")))
        << running.said(QStringLiteral("Images"));

    // With no favorite, the empty list does not show: the heading alone says where the user is.
    ASSERT_TRUE(running.assistive.press(QStringLiteral("Favorites")));
    for (const QString& line : {QStringLiteral("radio button|checked|"), QStringLiteral("heading||")})
        EXPECT_TRUE(running.heard(QStringLiteral("Favorites"), line)) << running.said(QStringLiteral("Favorites"));
}

TEST(AccessibilityEndToEnd, ButtonsThatOpenAPopUpSaySoAndWhetherItIsOpen)
{
    RunningApplication running;
    copyWithXclip(QStringLiteral("hello"));
    const QString closed = QStringLiteral("push button|expandable|");
    const QString open = QStringLiteral("push button|expandable,expanded|");
    for (const QString& name : {QStringLiteral("All Apps"), QStringLiteral("More Actions")})
        EXPECT_TRUE(running.heard(name, closed)) << running.said(name);

    auto listener = running.assistive.listen(6);
    ASSERT_TRUE(running.assistive.press(QStringLiteral("All Apps")));
    EXPECT_TRUE(running.heard(QStringLiteral("All Apps"), open)) << running.said(QStringLiteral("All Apps"));
    // Escape closes the popover and gives the keyboard back to its button.
    keys(QStringLiteral("Escape"));
    EXPECT_TRUE(running.heard(QStringLiteral("All Apps"), QStringLiteral("push button|expandable,focused|")))
        << running.said(QStringLiteral("All Apps"));
    ASSERT_TRUE(running.assistive.press(QStringLiteral("More Actions")));
    EXPECT_TRUE(running.heard(QStringLiteral("More Actions"), open)) << running.said(QStringLiteral("More Actions"));
    keys(QStringLiteral("Down"));
    keys(QStringLiteral("Escape"));
    EXPECT_TRUE(running.heard(QStringLiteral("More Actions"), closed)) << running.said(QStringLiteral("More Actions"));
    // The record's own menu, from the keyboard on the selected record.
    ASSERT_TRUE(running.assistive.press(QStringLiteral("TEXT: hello")));
    keys(QStringLiteral("Menu Down"));
    keys(QStringLiteral("Escape"));
    const QStringList told = AssistiveTechnology::told(*listener);
    const auto toldAbout = [&](const QString& pattern) { return !told.filter(QRegularExpression(pattern)).isEmpty(); };
    EXPECT_TRUE(toldAbout(QStringLiteral("^window:activate\\|.*\\|Apps\\|"))) << told.join(u'\n').toStdString();
    EXPECT_TRUE(
        toldAbout(QStringLiteral("^object:state-changed:focused\\|1\\|menu item\\|.*\\|popup menu\\|More Actions$")))
        << told.join(u'\n').toStdString();
    EXPECT_TRUE(toldAbout(QStringLiteral("^object:state-changed:focused\\|1\\|menu item\\|.*\\|popup menu\\|Record$")))
        << told.join(u'\n').toStdString();
}

TEST(AccessibilityEndToEnd, SettingsSectionsArePageTabsAndTheRecorderSaysTheShortcut)
{
    RunningApplication running;
    ASSERT_TRUE(running.assistive.press(QStringLiteral("Settings")));
    EXPECT_TRUE(running.heard(QStringLiteral("Settings sections"), QStringLiteral("page tab list||")))
        << running.said(QStringLiteral("Settings sections"));
    EXPECT_TRUE(running.heard(QStringLiteral("General"), QStringLiteral("page tab|focused,selected|")))
        << running.said(QStringLiteral("General"));
    EXPECT_TRUE(running.heard(QStringLiteral("General"), QStringLiteral("heading||")))
        << running.said(QStringLiteral("General"));

    // Down in the sections: the focus is heard to come to the next tab, now selected.
    auto listener = running.assistive.listen(3);
    keys(QStringLiteral("Down"));
    const QStringList told = AssistiveTechnology::told(*listener);
    EXPECT_TRUE(told.contains(QStringLiteral(
        "object:state-changed:focused|1|page tab|focused,selected,showing|Interface|page tab list|Settings sections")))
        << told.join(u'\n').toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral(
        "object:state-changed:selected|1|page tab|focused,selected,showing|Interface|page tab list|Settings sections")))
        << told.join(u'\n').toStdString();
    // Only the new section is named: nothing comes to the old one first.
    EXPECT_TRUE(
        told.filter(QRegularExpression(QStringLiteral("^[^|]*\\|1\\|")))
            .value(0)
            .startsWith(QStringLiteral("object:state-changed:focused|1|page tab|focused,selected,showing|Interface|")))
        << told.join(u'\n').toStdString();

    const QString recorder = QStringLiteral("Change Quick Panel shortcut");
    ASSERT_TRUE(running.assistive.press(QStringLiteral("Quick Panel")));
    EXPECT_TRUE(running.heard(recorder, QStringLiteral("push button||Ctrl+Alt+K"))) << running.said(recorder);
    ASSERT_TRUE(running.assistive.press(recorder));
    EXPECT_TRUE(running.heard(recorder, QStringLiteral("push button|focused,pressed|Press a shortcut…")))
        << running.said(recorder);
    keys(QStringLiteral("Escape"));
    EXPECT_TRUE(running.heard(recorder, QStringLiteral("push button|focused|Ctrl+Alt+K"))) << running.said(recorder);
    // Readers say a button's description after its name: it holds the shortcut, and a new one is
    // heard as it is recorded.
    QString description;
    running.assistive.ask("describe", recorder, &description);
    EXPECT_EQ(description.trimmed(), QStringLiteral("Ctrl+Alt+K"));
    ASSERT_TRUE(running.assistive.press(recorder));
    auto recording = running.assistive.listen(4);
    keys(QStringLiteral("ctrl+alt+b"));
    const QStringList described =
        AssistiveTechnology::told(*recording).filter(QRegularExpression(QStringLiteral("^description\\|")));
    EXPECT_EQ(described.mid(described.size() - 1), QStringList(QStringLiteral("description|Ctrl+Alt+B")));
    EXPECT_FALSE(described.contains(QStringLiteral("description|Ctrl+Alt+K"))) << "nothing in between";
}

// The recorder from the keyboard, heard as it happens: Space asks for the keys, a combination
// recorded or Escape brings the recorder back, which says its shortcut, and Reset says the default;
// nothing is told that AT-SPI cannot carry.
TEST(AccessibilityEndToEnd, TheRecorderIsHeardAsARecordingBeginsAndEndsAndAsItIsReset)
{
    RunningApplication running;
    ASSERT_TRUE(running.assistive.press(QStringLiteral("Settings")));
    ASSERT_TRUE(running.assistive.press(QStringLiteral("Quick Panel")));
    activateWindowNamed(QStringLiteral("^Settings$"));
    const QString asked = QStringLiteral("label|focused,showing|Press a shortcut…");
    const QString back = QStringLiteral("push button|focused,showing|Change Quick Panel shortcut");
    for (const auto& [pressed, heard] : QList<std::pair<QString, QString>>{
             {QStringLiteral("Tab space"), asked},
             {QStringLiteral("ctrl+alt+b"), back},
             {QStringLiteral("space"), asked},
             {QStringLiteral("Escape"), back},
             {QStringLiteral("Tab space"), QStringLiteral("label|showing|Ctrl+Alt+V")}}) {
        const QStringList stops = tabThrough(running.assistive, 1, pressed);
        EXPECT_EQ(stops.value(stops.size() - 1), heard) << pressed.toStdString();
    }
    EXPECT_FALSE(running.application->readAllStandardError().contains("ValueChanged"));
}

TEST(AccessibilityEndToEnd, TheQuickPanelSaysItsFilterAndAHiddenOneShowsNoRecord)
{
    RunningApplication running;
    copyWithXclip(QStringLiteral("one"));
    ASSERT_TRUE(waitUntil([&] { return records(running.profile) == 1; }, 10000));
    copyWithXclip(QStringLiteral("two"));
    ASSERT_TRUE(waitUntil([&] { return records(running.profile) == 2; }, 10000));
    keys(QStringLiteral("ctrl+alt+k"));
    const QString favorites = QStringLiteral("Favorites Only");
    EXPECT_TRUE(running.heard(favorites, QStringLiteral("push button||Disabled"))) << running.said(favorites);
    ASSERT_TRUE(running.assistive.press(favorites));
    EXPECT_TRUE(running.heard(favorites, QStringLiteral("push button|checked|Enabled"))) << running.said(favorites);
    ASSERT_TRUE(running.assistive.press(favorites));
    EXPECT_TRUE(running.heard(favorites, QStringLiteral("push button||Disabled"))) << running.said(favorites);

    // Its list is named by its label, one cell a record and nothing else (no headers).
    QString cells;
    EXPECT_TRUE(waitUntil(
        [&] {
            running.assistive.ask("cells", QStringLiteral("Recent"), &cells, QStringLiteral("Tavlin Quick Panel"));
            return cells.split(u'\n', Qt::SkipEmptyParts)
                == QStringList({QStringLiteral("table cell|focused,selected,showing|TEXT: two"),
                                QStringLiteral("table cell|showing|TEXT: one")});
        },
        10000))
        << cells.toStdString();
    keys(QStringLiteral("Escape"));
    EXPECT_TRUE(waitUntil(
        [&] {
            running.assistive.ask("cells", QStringLiteral("Recent"), &cells, QStringLiteral("Tavlin Quick Panel"));
            return cells.split(u'\n', Qt::SkipEmptyParts)
                == QStringList(
                       {QStringLiteral("table cell|selected|TEXT: two"), QStringLiteral("table cell||TEXT: one")});
        },
        10000))
        << "a hidden panel shows no record and none has the focus:\n"
        << cells.toStdString();
}

// Each opening of the Quick Panel is heard on the search field, then on the record Return would
// copy. An arrow that can go no further, Up on the first record or Down on the last, says that
// record again, once a key: as a notification, since a reader says nothing of a focus event for
// the record it is on.
TEST(AccessibilityEndToEnd, OpeningTheQuickPanelNamesTheRecordReturnWouldCopy)
{
    RunningApplication running(2, numberedNotes);
    const QString newest = QStringLiteral("table cell|focused,selected,showing|TEXT: note 2");
    for (int opening = 0; opening < 2; ++opening) {
        auto listener = running.assistive.listen(4);
        keys(QStringLiteral("ctrl+alt+k"));
        const QStringList stops = focusStops(AssistiveTechnology::told(*listener));
        EXPECT_EQ(stops.mid(stops.size() - 2),
                  QStringList({QStringLiteral("text|focused,showing|Search history…"), newest}));
        auto speaker = running.assistive.speaker(5);
        keys(QStringLiteral("Up Up Down Down"));
        EXPECT_EQ(AssistiveTechnology::spoken(*speaker),
                  QStringList({QStringLiteral("TEXT: note 2"), QStringLiteral("TEXT: note 2"),
                               QStringLiteral("TEXT: note 1|Recent: 2"), QStringLiteral("TEXT: note 1")}));
        keys(QStringLiteral("Escape"));
        ASSERT_TRUE(waitUntil([] { return Desktop::activeWindowName() != u"Tavlin Quick Panel"; }, 10000));
    }
}

// A search that matches nothing is spoken, and so is its first match once it matches again.
TEST(AccessibilityEndToEnd, NothingFoundInTheQuickPanelIsHeardAndSoIsTheNextMatch)
{
    RunningApplication running(2, numberedNotes);
    keys(QStringLiteral("ctrl+alt+k"));
    ASSERT_TRUE(running.heard(QStringLiteral("Search history…"), QStringLiteral("text|focused|")));
    auto speaker = running.assistive.speaker(8);
    keys(QStringLiteral("z q BackSpace BackSpace"));
    EXPECT_EQ(AssistiveTechnology::spoken(*speaker),
              QStringList({QStringLiteral("Nothing found"), QStringLiteral("TEXT: note 2|Recent: 2")}));
}

// Each empty state is spoken every time it takes the place of the records or of another, and so
// is the records' return, by their count, the keyboard staying in the search field; as Orca speaks,
// which says nothing for a focus event on the object it is on, nor for a changed name. In the Quick
// Panel and the history window over an empty history, then in the history window over a record.
TEST(AccessibilityEndToEnd, EachEmptyStateAndTheRecordsReturnAreSpokenEveryTime)
{
    RunningApplication running;
    // Each burst of keys once what came before has settled and been told.
    const auto spokenAfter = [&](const QStringList& typed) {
        EXPECT_TRUE(running.heard(QStringLiteral("Search history…"), QStringLiteral("text|focused|")));
        QTest::qWait(1500);
        auto speaker = running.assistive.speaker(9);
        for (const QString& burst : typed) {
            keys(burst);
            QTest::qWait(1500);
        }
        return AssistiveTechnology::spoken(*speaker);
    };
    const QString twice = QStringLiteral("z BackSpace z BackSpace");
    // Heard from the opening on, as a reader that runs all along: the field, "History is empty",
    // then each change.
    auto opening = running.assistive.speaker(9);
    keys(QStringLiteral("ctrl+alt+k"));
    EXPECT_TRUE(running.heard(QStringLiteral("Search history…"), QStringLiteral("text|focused|")));
    keys(twice);
    const QStringList panel = AssistiveTechnology::spoken(*opening);
    const QStringList found{QStringLiteral("Nothing found"), QStringLiteral("History is empty")};
    EXPECT_EQ(panel.mid(panel.size() - 4), found + found) << panel.join(u'\n').toStdString();
    keys(QStringLiteral("Escape"));
    ASSERT_TRUE(activateWindowNamed(QStringLiteral("^Tavlin$")));
    keys(QStringLiteral("ctrl+f"));
    const QStringList empty{QStringLiteral("Nothing turned up"), QStringLiteral("It’s quiet here for now")};
    EXPECT_EQ(spokenAfter({twice}), empty + empty);
    copyWithXclip(QStringLiteral("hello"));
    ASSERT_TRUE(waitUntil([&] { return !running.assistive.hear(QStringLiteral("TEXT: hello")).isEmpty(); }, 10000));
    // A search that goes on matching nothing is quiet; one that matches nothing again after the
    // records came back is spoken again, and so are the records, once the search has settled.
    const QStringList back{QStringLiteral("Nothing turned up"), QStringLiteral("Records: 1")};
    EXPECT_EQ(spokenAfter({QStringLiteral("z q BackSpace BackSpace"), QStringLiteral("z BackSpace")}), back + back);
}

// The records' return after a search that matched nothing is heard by the count the search
// settles on, once, not by that of its first letter that matches: typed at a pace that brings a page
// between keys.
TEST(AccessibilityEndToEnd, TheRecordsReturnIsHeardOnceByTheCountTheSearchSettlesOn)
{
    RunningApplication running(12, numberedNotes);
    ASSERT_TRUE(activateWindowNamed(QStringLiteral("^Tavlin$")));
    keys(QStringLiteral("ctrl+f z z"));
    ASSERT_TRUE(
        waitUntil([&] { return !running.assistive.hear(QStringLiteral("Nothing turned up")).isEmpty(); }, 10000));
    auto speaker = running.assistive.speaker(7);
    keys(QStringLiteral("ctrl+a n o t e space 1 1"));
    EXPECT_EQ(AssistiveTechnology::spoken(*speaker), QStringList(QStringLiteral("Records: 1")));
    EXPECT_FALSE(running.assistive.hear(QStringLiteral("Records: 1")).isEmpty()) << "the status line shows it";
}

// Each search of the user's that settles on other records is heard by their count, once, after it
// has settled: typed unevenly, a letter whose page comes in a pause shorter than the wait, then a
// burst, its half-typed count is not told; nor is anything as a copy comes in under the same search,
// nor for a search that comes back to the records listed.
TEST(AccessibilityEndToEnd, EachSearchIsHeardOnceByTheCountItSettlesOn)
{
    RunningApplication running(120, numberedNotes);
    ASSERT_TRUE(activateWindowNamed(QStringLiteral("^Tavlin$")));
    keys(QStringLiteral("ctrl+f"));
    ASSERT_TRUE(running.heard(QStringLiteral("Search history…"), QStringLiteral("text|focused|")));
    auto speaker = running.assistive.speaker(20);
    // Each wait is long enough for the search to settle and its count to be told under load.
    const int settled = 2500;
    run(QStringLiteral("xdotool key --delay 60 n o t e space 1"));
    QTest::qWait(settled);
    // "note 11" comes in the pause, and a moment later the keys go on: one xdotool, so that
    // nothing but the pause lies between.
    run(QStringLiteral("xdotool key 1 sleep 0.3 key --delay 80 1 BackSpace BackSpace 2 0 1 BackSpace"));
    QTest::qWait(settled);
    copyWithXclip(QStringLiteral("note 120 again"));
    EXPECT_TRUE(waitUntil([&] { return records(running.profile) == 121; }, 10000));
    QTest::qWait(settled);
    keys(QStringLiteral("space BackSpace")); // back to the records listed, with the copy among them
    QTest::qWait(settled);
    EXPECT_EQ(AssistiveTechnology::spoken(*speaker),
              QStringList({QStringLiteral("Records: 32"), QStringLiteral("Records: 1")}));
}

// With more records than a page lists, a search that keeps the same first page but matches another
// number of records is heard by its count too, as the status line shows it.
TEST(AccessibilityEndToEnd, ASearchThatMatchesAnotherNumberBehindTheSamePageIsHeard)
{
    RunningApplication running(
        250,
        numberedNotes
            + QStringLiteral("; UPDATE clips SET text = 'other ' || id, search_text = 'other ' || id "
                             "WHERE id <= 10"));
    ASSERT_TRUE(activateWindowNamed(QStringLiteral("^Tavlin$")));
    keys(QStringLiteral("ctrl+f"));
    ASSERT_TRUE(running.heard(QStringLiteral("Search history…"), QStringLiteral("text|focused|")));
    auto speaker = running.assistive.speaker(6);
    keys(QStringLiteral("n o t e"));
    EXPECT_EQ(AssistiveTechnology::spoken(*speaker), QStringList(QStringLiteral("Showing 200 of 240")));
}

// A field that holds text is heard whole as the keyboard comes back to it, from the next control
// and as its window opens again: Orca speaks a field's line as far as its attribute runs cover it,
// and runs that covered nothing cut the last letter off.
TEST(AccessibilityEndToEnd, AFieldThatHoldsTextIsHeardWholeAsTheKeyboardComesBack)
{
    RunningApplication running;
    // What is said last as the keyboard goes from the field to the next control and back.
    const auto heardBack = [&](const QString& field, const QString& typed, const QString& text) {
        keys(typed);
        EXPECT_TRUE(running.heard(field, QStringLiteral("text|focused|") + text)) << running.said(field);
        auto speaker = running.assistive.speaker(4);
        keys(QStringLiteral("Tab shift+Tab"));
        const QStringList said = AssistiveTechnology::spoken(*speaker);
        return said.value(said.size() - 1);
    };
    const QString search = QStringLiteral("Search history…");
    ASSERT_TRUE(activateWindowNamed(QStringLiteral("^Tavlin$")));
    EXPECT_EQ(heardBack(search, QStringLiteral("ctrl+f a p p l e"), QStringLiteral("apple")),
              search + QStringLiteral(" apple selected"));
    EXPECT_EQ(heardBack(search, QStringLiteral("ctrl+a Cyrillic_ka Cyrillic_o Cyrillic_te"), QStringLiteral("кот")),
              search + QStringLiteral(" кот selected"));
    auto speaker = running.assistive.speaker(8);
    keys(QStringLiteral("ctrl+w"));
    ASSERT_TRUE(waitUntil([] { return windowsNamed(QStringLiteral("^Tavlin$")).isEmpty(); }, 10000));
    Desktop::clickTray();
    ASSERT_TRUE(running.heard(search, QStringLiteral("text|focused|кот"))) << running.said(search);
    EXPECT_EQ(AssistiveTechnology::spoken(*speaker), QStringList(search + QStringLiteral(" кот selected")));

    ASSERT_TRUE(running.assistive.press(QStringLiteral("Settings")));
    ASSERT_TRUE(running.assistive.press(QStringLiteral("History & Privacy")));
    activateWindowNamed(QStringLiteral("^Settings$"));
    ASSERT_TRUE(running.assistive.click(QStringLiteral("Add App")));
    const QString filter = QStringLiteral("Search applications");
    EXPECT_EQ(heardBack(filter, QStringLiteral("Down Return q u o"), QStringLiteral("quo")),
              filter + QStringLiteral(" quo selected"));
}

// A text is told once as it comes. Its padding, line spacing and alignment change how it lies, not
// what it says: told as the text deleted and inserted again, they made a burst in which a screen
// reader dropped what it was about to say; so did a code preview's colours. Here the empty state's
// message, the records' return with the preview built for the first, then a search for the code.
TEST(AccessibilityEndToEnd, EachTextIsToldOnceAsItComes)
{
    RunningApplication running(2,
                               numberedNotes
                                   + QStringLiteral("; UPDATE clips SET text = '{\"note\": 1}', "
                                                    "search_text = '{\"note\": 1}' WHERE id = 1"),
                               listPreferences);
    ASSERT_TRUE(activateWindowNamed(QStringLiteral("^Tavlin$")));
    keys(QStringLiteral("ctrl+f"));
    ASSERT_TRUE(running.heard(QStringLiteral("Search history…"), QStringLiteral("text|focused|")));
    auto listener = running.assistive.textListener(5);
    auto names = running.assistive.listen(5);
    keys(QStringLiteral("z BackSpace"));
    const QStringList told = AssistiveTechnology::told(*listener);
    const QStringList inserted = told.filter(QRegularExpression(QStringLiteral("^insert\\|")));
    EXPECT_TRUE(inserted.contains(QStringLiteral("insert|text|Preview|note 2"))) << told.join(u'\n').toStdString();
    EXPECT_EQ(QSet<QString>(inserted.cbegin(), inserted.cend()).size(), inserted.size())
        << told.join(u'\n').toStdString();
    listener = running.assistive.textListener(4);
    keys(QStringLiteral("braceleft"));
    const QStringList code = AssistiveTechnology::told(*listener);
    EXPECT_EQ(code.count(QStringLiteral("insert|text|Preview|{\"note\": 1}")), 1) << code.join(u'\n').toStdString();
    // The application filter stays "All Apps" throughout: nothing says it was renamed.
    const QStringList renamed = AssistiveTechnology::told(*names).filter(
        QRegularExpression(QStringLiteral("^object:property-change:accessible-name\\|.*\\|All Apps\\|")));
    EXPECT_TRUE(renamed.isEmpty()) << renamed.join(u'\n').toStdString();
}

// The Quick Panel's records from the keyboard, as a screen reader that stays running follows them:
// each arrow is heard on the record it highlights, which alone is selected, and no cell is asked
// for that is not there. A search that hides the highlighted record selects the first match, and
// taking the search back keeps it: either way, with the list scrolled elsewhere, that record comes
// into view, is heard on a cell that is still there, and is what Return copies.
TEST(AccessibilityEndToEnd, EachArrowAndSearchInTheQuickPanelIsHeardOnTheRecordItHighlights)
{
    RunningApplication running(
        30,
        QStringLiteral("UPDATE clips SET text = 'quick note number ' || id || CASE WHEN id < 20 "
                       "AND id % 3 = 1 THEN ' sierra' ELSE '' END; UPDATE clips SET search_text = text"));
    keys(QStringLiteral("ctrl+alt+k"));
    QString cells;
    const auto selected = [&](const QString& number) {
        return waitUntil(
            [&] {
                running.assistive.ask("cells", QStringLiteral("Recent"), &cells, QStringLiteral("Tavlin Quick Panel"));
                return cells.split(u'\n').filter(QStringLiteral("selected"))
                    == QStringList(QStringLiteral("table cell|focused,selected,showing|TEXT: quick note number ")
                                   + number);
            },
            10000);
    };
    ASSERT_TRUE(selected(QStringLiteral("30"))) << cells.toStdString();

    auto listener = running.assistive.listen(8, true);
    keys(QStringLiteral("Down Down Down Up"));
    QStringList heard;
    const QStringList told = AssistiveTechnology::told(*listener);
    for (qsizetype line = 0; line < told.size(); ++line) {
        const QStringList fields = told[line].split(u'|');
        if (fields.value(0) != QLatin1String("object:state-changed:focused") || fields.value(1) != QLatin1String("1"))
            continue;
        const QString name = fields.value(4);
        heard.append(name);
        EXPECT_TRUE(fields.value(3).split(u',').contains(QStringLiteral("selected"))) << told[line].toStdString();
        EXPECT_EQ(told.value(line + 1), QStringLiteral("selected|") + name)
            << "only the highlighted record is selected";
    }
    EXPECT_EQ(heard,
              QStringList({QStringLiteral("TEXT: quick note number 29"), QStringLiteral("TEXT: quick note number 28"),
                           QStringLiteral("TEXT: quick note number 27"), QStringLiteral("TEXT: quick note number 28")}))
        << told.join(u'\n').toStdString();
    EXPECT_TRUE(selected(QStringLiteral("28"))) << cells.toStdString();

    keys(QStringLiteral("Down Down Down Down")); // the list scrolls
    for (const QString& typed :
         {QStringLiteral("s i e r r a"), QStringList(6, QStringLiteral("BackSpace")).join(u' ')}) {
        auto searching = running.assistive.listen(6);
        keys(typed);
        EXPECT_TRUE(selected(QStringLiteral("19 sierra"))) << typed.toStdString() << "\n" << cells.toStdString();
        const QStringList focused = AssistiveTechnology::told(*searching);
        EXPECT_EQ(
            focused.filter(QStringLiteral("object:state-changed:focused|1|")),
            QStringList(QStringLiteral("object:state-changed:focused|1|table cell|focused,selected,showing|TEXT: quick "
                                       "note number 19 sierra|list|Recent")))
            << typed.toStdString() << "\n"
            << focused.join(u'\n').toStdString();
    }
    keys(QStringLiteral("Return")); // the record's own second format names it on the clipboard
    EXPECT_TRUE(waitUntil(
        [] { return run(QStringLiteral("xclip -o -selection clipboard -t org.tavlin.test.serial")) == u"18"; }, 10000));
    QTest::qWait(500); // its log comes in
    EXPECT_FALSE(running.application->readAllStandardError().contains("Cannot create accessible child interface"));
}

// Orca shows each record it speaks inside its list, with the list's focused record, which it looks
// for through the list unless the list says it has the focus, asking each object of each record.
// The Quick Panel's list, led by its search field, says so: at opening, at each arrow, as a copy
// comes in and after a search, its highlighted record is heard without a search through 200.
TEST(AccessibilityEndToEnd, TheQuickPanelsHighlightedRecordIsHeardWithoutASearchThroughItsRecords)
{
    RunningApplication running(210, numberedNotes);
    auto speaker = running.assistive.speaker(20);
    keys(QStringLiteral("ctrl+alt+k"));
    ASSERT_TRUE(running.heard(QStringLiteral("Search history…"), QStringLiteral("text|focused|")));
    keys(QStringLiteral("Down Down Down Down"));
    copyWithXclip(QStringLiteral("fresh"));
    ASSERT_TRUE(waitUntil([&] { return records(running.profile) == 211; }, 10000));
    keys(QStringLiteral("2 0 5"));
    const QStringList told = AssistiveTechnology::told(*speaker);
    const QString said = told.join(u'\n');
    EXPECT_EQ(told.filter(QRegularExpression(QStringLiteral("^searched\\|"))), QStringList()) << said.toStdString();
    for (const QString& record :
         {QStringLiteral("said|TEXT: note 210|Recent: 200"), QStringLiteral("said|TEXT: note 206|Recent: 200"),
          QStringLiteral("said|TEXT: note 205|Recent: 1")})
        EXPECT_TRUE(told.contains(record)) << record.toStdString() << "\n" << said.toStdString();
}

// A held arrow key, 30 Downs 40 ms apart as a keyboard repeats them: what the listener is told
// meanwhile and how many tellings the time the keys took allows, at most one a 150 ms and one more.
struct HeldArrow {
    QStringList told;
    qint64 tellings = 0;
};

HeldArrow holdDown(const std::unique_ptr<QProcess>& listener)
{
    QElapsedTimer held;
    held.start();
    run(QStringLiteral("xdotool key --delay 40 ") + QStringList(30, QStringLiteral("Down")).join(u' '));
    const qint64 tellings = 2 + held.elapsed() / 150;
    return {AssistiveTechnology::told(*listener), tellings};
}

// Told of every record an arrow passes, Orca re-read its whole queue at each and fell silent for
// tens of seconds. Over a held key the records are told at a steady pace, each telling one focus
// and one selection, the last on the record reached, which alone is selected; and the history
// window's preview, built for where the keys stop, tells as much as for a single key, not for each
// record passed. In the Quick Panel, then in the history window's list beside its preview.
TEST(AccessibilityEndToEnd, AHeldArrowKeyIsToldAtAPaceAndEndsOnTheRecordReached)
{
    RunningApplication running(210, numberedNotes, listPreferences);
    const auto expectPaced = [](const HeldArrow& held, const QString& reached) {
        const QString told = held.told.join(u'\n');
        const QStringList focused = held.told.filter(QStringLiteral("object:state-changed:focused|1|table cell|"));
        const QStringList selected = held.told.filter(QStringLiteral("object:state-changed:selected|1|table cell|"));
        EXPECT_LE(focused.size(), held.tellings) << told.toStdString();
        EXPECT_LE(selected.size(), held.tellings) << told.toStdString();
        ASSERT_FALSE(focused.isEmpty()) << told.toStdString();
        EXPECT_EQ(focused.last().section(u'|', 4, 4), reached) << told.toStdString();
        EXPECT_EQ(held.told.filter(QRegularExpression(QStringLiteral("^selected\\|"))).last(),
                  QStringLiteral("selected|") + reached)
            << "only the record reached is selected";
    };

    keys(QStringLiteral("ctrl+alt+k"));
    ASSERT_TRUE(running.heard(QStringLiteral("Search history…"), QStringLiteral("text|focused|")));
    expectPaced(holdDown(running.assistive.listen(8, true)), QStringLiteral("TEXT: note 180"));
    keys(QStringLiteral("Escape"));
    ASSERT_TRUE(waitUntil([] { return Desktop::activeWindowName() != u"Tavlin Quick Panel"; }, 10000));

    if (windowsNamed(QStringLiteral("^Tavlin$")).isEmpty())
        Desktop::clickTray();
    ASSERT_TRUE(activateWindowNamed(QStringLiteral("^Tavlin$")));
    keys(QStringLiteral("ctrl+f Tab Tab Tab Tab Tab")); // on to the records
    ASSERT_TRUE(running.heard(QStringLiteral("TEXT: note 210"), QStringLiteral("table cell|focused,selected|")))
        << running.said(QStringLiteral("TEXT: note 210"));
    // What the preview tells: every event but those of the records, their list and its scroll bar.
    const auto ofPreview = [](const QStringList& told) {
        return std::count_if(told.cbegin(), told.cend(), [](const QString& line) {
            return !QStringList({QStringLiteral("table cell"), QStringLiteral("table"), QStringLiteral("scroll bar")})
                        .contains(line.section(u'|', 2, 2));
        });
    };
    auto single = running.assistive.allListener(4);
    keys(QStringLiteral("Down"));
    const qsizetype singlePreview = ofPreview(AssistiveTechnology::told(*single));
    expectPaced(holdDown(running.assistive.listen(8, true)), QStringLiteral("TEXT: note 179"));
    keys(QStringLiteral("Up"));
    ASSERT_TRUE(running.heard(QStringLiteral("TEXT: note 180"), QStringLiteral("table cell|focused,selected|")));
    const HeldArrow held = holdDown(running.assistive.allListener(8));
    EXPECT_GT(singlePreview, 0);
    EXPECT_LE(ofPreview(held.told), singlePreview * 3) << held.told.join(u'\n').toStdString();
    EXPECT_TRUE(running.heard(QStringLiteral("Preview"), QStringLiteral("text||note 150")))
        << running.said(QStringLiteral("Preview"));
}

// A record's menu opened by the keyboard, by Shift+F10 or the Menu key, is heard on its first
// item, as GTK's menus are; Qt's opened on none, and a screen reader said nothing. A record deleted
// from it is followed by the record the keyboard is then on, told once, not first the record about
// to go as the menu closes: the next one after the first record, the first one after a record
// further down.
TEST(AccessibilityEndToEnd, ARecordsMenuAndADeletionByTheKeyboardAreHeard)
{
    RunningApplication running(5, numberedNotes, listPreferences);
    ASSERT_TRUE(activateWindowNamed(QStringLiteral("^Tavlin$")));
    keys(QStringLiteral("ctrl+f Tab Tab Tab Tab Tab")); // on to the records
    const auto onRecord = [&](const QString& record) {
        return running.heard(record, QStringLiteral("table cell|focused,selected|"));
    };
    ASSERT_TRUE(onRecord(QStringLiteral("TEXT: note 5")));
    for (const QString& opening : {QStringLiteral("shift+F10"), QStringLiteral("Menu")}) {
        auto speaker = running.assistive.speaker(3);
        keys(opening);
        EXPECT_EQ(AssistiveTechnology::spoken(*speaker), QStringList(QStringLiteral("Copy"))) << opening.toStdString();
        keys(QStringLiteral("Escape"));
        ASSERT_TRUE(onRecord(QStringLiteral("TEXT: note 5")));
        QTest::qWait(500); // the reader hears the record again
    }
    for (const QString& from : {QStringLiteral("TEXT: note 5"), QStringLiteral("TEXT: note 2")}) {
        if (!onRecord(from)) {
            keys(QStringLiteral("Down Down"));
            ASSERT_TRUE(onRecord(from));
        }
        auto listener = running.assistive.listen(5);
        keys(QStringLiteral("shift+F10 Up Return")); // Delete, the menu's last item
        const QStringList told = AssistiveTechnology::told(*listener);
        EXPECT_EQ(told.filter(QStringLiteral("object:state-changed:focused|1|table cell|")),
                  QStringList(QStringLiteral(
                      "object:state-changed:focused|1|table cell|focused,selected,showing|TEXT: note 4|list|History")))
            << told.join(u'\n').toStdString();
        ASSERT_TRUE(onRecord(QStringLiteral("TEXT: note 4")));
    }
    EXPECT_EQ(records(running.profile), 3);
}

// The Apps popover from the keyboard, with the records listed behind it: the row the keyboard is
// on is drawn with its ring and told to the screen reader, and Space on it leaves the focus there,
// on a row that is still there, however the records behind change.
TEST(AccessibilityEndToEnd, TheAppsPopoversKeyboardRowIsSeenAndHeard)
{
    // Three records from an editor, two from a terminal, and the newest from no known application.
    RunningApplication running(6,
                               QStringLiteral("UPDATE clips SET source = CASE WHEN id <= 3 THEN 'org.example.editor' "
                                              "WHEN id <= 5 THEN 'org.example.terminal' ELSE NULL END"),
                               listPreferences);
    ASSERT_TRUE(waitUntil([&] { return !running.assistive.hear(QStringLiteral("TEXT: r")).isEmpty(); }, 20000));
    ASSERT_TRUE(activateWindowNamed(QStringLiteral("^Tavlin$")));
    keys(QStringLiteral("ctrl+f Down shift+Tab")); // through the records back to the filter button
    ASSERT_TRUE(running.heard(QStringLiteral("All Apps"), QStringLiteral("push button|expandable,focused|")))
        << running.said(QStringLiteral("All Apps"));
    // The popover opens under its button, 300 pixels wide, its rows in the upper 200 of it.
    QString point;
    ASSERT_TRUE(running.assistive.ask("point", QStringLiteral("All Apps"), &point));
    const QStringList button = point.split(u' ');
    const QRect popover(button.value(0).toInt() - 150, button.value(1).toInt() + 22, 300, 200);
    const auto popoverPixels = [&] {
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, popover.x(), popover.y(), popover.width(), popover.height())
            .toImage();
    };
    // The keyboard is heard to come to the first row as the popover opens.
    auto opening = running.assistive.listen(5);
    keys(QStringLiteral("space"));
    ASSERT_TRUE(running.heard(QStringLiteral("All Apps"), QStringLiteral("push button|expandable,expanded|")))
        << running.said(QStringLiteral("All Apps"));
    const QStringList opened = AssistiveTechnology::told(*opening);
    const QStringList arrivals = opened.filter(QStringLiteral("object:state-changed:focused|1|"));
    EXPECT_EQ(arrivals.value(arrivals.size() - 1),
              QStringLiteral("object:state-changed:focused|1|list item|focused,showing|org.example.editor|list|Apps"))
        << opened.join(u'\n').toStdString();
    const QImage before = popoverPixels();

    auto listener = running.assistive.listen(10);
    keys(QStringLiteral("Down"));
    EXPECT_TRUE(waitUntil([&] { return popoverPixels() != before; }, 10000)) << "the keyboard's row shows its ring";
    keys(QStringLiteral("space")); // the terminal's records alone, the newest record gone from behind
    EXPECT_TRUE(running.heard(QStringLiteral("Apps: 1"), QStringLiteral("push button|expandable,expanded|")))
        << running.said(QStringLiteral("Apps: 1"));
    // The row after Down, and nowhere else, not on anything gone; it is heard to be ticked, and is
    // found ticked under the button, where the popover is.
    EXPECT_TRUE(running.heard(QStringLiteral("org.example.terminal"), QStringLiteral("list item|checked,focused|")))
        << running.said(QStringLiteral("org.example.terminal"));
    const QStringList told = AssistiveTechnology::told(*listener);
    EXPECT_EQ(focusStops(told), QStringList(QStringLiteral("list item|focused,showing|org.example.terminal")))
        << told.join(u'\n').toStdString();
    EXPECT_FALSE(told.filter(QRegularExpression(QStringLiteral("^object:state-changed:checked\\|1\\|list item\\|.*\\|"
                                                               "org\\.example\\.terminal\\|list\\|Apps$")))
                     .isEmpty())
        << told.join(u'\n').toStdString();
    EXPECT_FALSE(told.contains(QStringLiteral("object:state-changed:focused|1|gone")))
        << told.join(u'\n').toStdString();
}

// Favorite pressed from the keyboard builds the preview anew: the keyboard stays on that button,
// now Unfavorite, heard to arrive there, and the next Tab goes on to Copy beside it.
TEST(AccessibilityEndToEnd, FavoriteByTheKeyboardKeepsAFocusedHeardButton)
{
    for (const QByteArray& preferences : {chosenPreferences, listPreferences}) {
        RunningApplication running(1, {}, preferences);
        ASSERT_TRUE(waitUntil([&] { return !running.assistive.hear(QStringLiteral("TEXT: r")).isEmpty(); }, 20000));
        ASSERT_TRUE(activateWindowNamed(QStringLiteral("^Tavlin$")));
        keys(QStringLiteral("ctrl+f"));
        const QString focused = QStringLiteral("push button|focused|");
        for (int stop = 0; stop < 16 && !running.assistive.hear(QStringLiteral("Favorite")).contains(focused); ++stop)
            keys(QStringLiteral("Tab"));
        auto listener = running.assistive.listen(4);
        keys(QStringLiteral("space"));
        EXPECT_EQ(focusStops(AssistiveTechnology::told(*listener)),
                  QStringList(QStringLiteral("push button|focused,showing|Unfavorite")))
            << preferences.toStdString();
        keys(QStringLiteral("Tab"));
        EXPECT_TRUE(running.heard(QStringLiteral("Copy"), focused));
    }
}

// Tab from the sections reaches the excluded applications before "Add App", and removing one from
// the keyboard leaves the keyboard on the next row's remove button, then on "Add App" once none is
// left, heard to arrive each time.
TEST(AccessibilityEndToEnd, RemovingAnExcludedApplicationByTheKeyboardKeepsAFocusedHeardButton)
{
    RunningApplication running(0, {},
                               chosenPreferences
                                   + "<key>privacy.excludedApplications</key><array><string>org.example.Editor</string>"
                                     "<string>org.example.Notes</string></array>");
    ASSERT_TRUE(running.assistive.press(QStringLiteral("Settings")));
    ASSERT_TRUE(running.assistive.press(QStringLiteral("History & Privacy")));
    activateWindowNamed(QStringLiteral("^Settings$"));
    const QString remove = QStringLiteral("push button|focused,showing|Remove org.example.%1 from exclusions");
    EXPECT_EQ(tabThrough(running.assistive, 1, QStringLiteral("Tab space space")),
              QStringList({remove.arg(QStringLiteral("Editor")), remove.arg(QStringLiteral("Notes")),
                           QStringLiteral("push button|expandable,focused,showing|Add App")}));
}

// The application chooser's filter, typed as a screen reader listens: each change of what the list
// shows is spoken where Return would act, the current row with the number of rows shown, also
// when the current row stays, and an empty list as the empty list, said to match nothing once
// while it stays empty.
TEST(AccessibilityEndToEnd, TheApplicationChoosersListIsHeardAsItsFilterShowsIt)
{
    RunningApplication running(0, {}, chosenPreferences, [](const Profile& profile) {
        const QString folder = profile.home + QStringLiteral("/.local/share/applications/");
        QDir().mkpath(folder);
        for (const auto& [id, name] :
             {std::pair("Quince", "Quince Editor"), std::pair("QuokkaNotes", "Quokka Notes"),
              std::pair("QuokkaNotesPro", "Quokka Notes Pro"), std::pair("QuokkaPaint", "Quokka Paint")})
            writeFile(folder + QStringLiteral("org.example.%1.desktop").arg(QLatin1String(id)),
                      "[Desktop Entry]\nType=Application\nName=" + QByteArray(name) + "\nExec=/bin/false\n");
    });
    ASSERT_TRUE(running.assistive.press(QStringLiteral("Settings")));
    ASSERT_TRUE(running.assistive.press(QStringLiteral("History & Privacy")));
    activateWindowNamed(QStringLiteral("^Settings$"));
    // Clicked: a press through AT-SPI would wait for the menu it opens to close.
    ASSERT_TRUE(running.assistive.click(QStringLiteral("Add App")));
    keys(QStringLiteral("Down Return")); // "Choose App…", alone as the history is empty
    const QString filter = QStringLiteral("Search applications");
    ASSERT_TRUE(running.heard(filter, QStringLiteral("text|focused|"))) << running.said(filter);
    const auto spokenAfter = [&](const QString& typed) {
        auto speaker = running.assistive.speaker(2 + int(typed.count(u' ')));
        keys(typed);
        return AssistiveTechnology::spoken(*speaker);
    };
    const auto row = [](const char* name, int rows) {
        return QStringLiteral("%1|Installed applications: %2").arg(QLatin1String(name)).arg(rows);
    };
    // The applications of this computer that hold "q" or "qu" come first, whichever they are.
    const QStringList typed = spokenAfter(QStringLiteral("q u o k k a"));
    EXPECT_EQ(typed.value(typed.size() - 1), row("Quokka Notes", 3)) << typed.join(u'\n').toStdString();
    EXPECT_EQ(spokenAfter(QStringLiteral("space n")), QStringList(row("Quokka Notes", 2)));
    EXPECT_EQ(spokenAfter(QStringLiteral("BackSpace p")),
              QStringList({row("Quokka Notes", 3), row("Quokka Paint", 1)}));
    EXPECT_EQ(spokenAfter(QStringLiteral("z z BackSpace BackSpace")),
              QStringList({QStringLiteral("Installed applications"), QStringLiteral("No applications found"),
                           row("Quokka Paint", 1)}));
}

// Space on "Hide Preview", and again: the description read after the new name is told to change
// with it, and a screen reader, whose place stays on the button, says each new name once.
TEST(AccessibilityEndToEnd, ThePreviewButtonTellsItsNewNameAndDescription)
{
    RunningApplication running;
    copyTwoRecordsAndActivate(running);
    keys(QStringLiteral("ctrl+f Tab"));
    ASSERT_TRUE(running.heard(QStringLiteral("Hide Preview"), QStringLiteral("push button|focused|")));
    auto speaker = running.assistive.speaker(9);
    auto listener = running.assistive.listen(3);
    keys(QStringLiteral("space"));
    const QStringList told = AssistiveTechnology::told(*listener);
    const qsizetype described = told.indexOf(QRegularExpression(
        QStringLiteral("object:property-change:accessible-description\\|.*\\|push button\\|.*\\|Show Preview\\|.*")));
    EXPECT_EQ(told.value(described + 1), QStringLiteral("description|Show Preview")) << told.join(u'\n').toStdString();
    keys(QStringLiteral("space"));
    EXPECT_EQ(AssistiveTechnology::spoken(*speaker),
              QStringList({QStringLiteral("Show Preview"), QStringLiteral("Hide Preview")}));
}

// Copies that come while the history window is open push its selected record out of sight; Tab
// into the records brings it back into view, so the focus lands on a record that shows.
TEST(AccessibilityEndToEnd, TabIntoTheRecordsLandsOnTheSelectedRecordInView)
{
    RunningApplication running(1, {}, listPreferences);
    activateWindowNamed(QStringLiteral("^Tavlin$"));
    for (int copy = 1; copy <= 12; ++copy) {
        copyWithXclip(QStringLiteral("copy number %1").arg(copy));
        QTest::qWait(1000);
    }
    ASSERT_TRUE(
        waitUntil([&] { return !running.assistive.hear(QStringLiteral("TEXT: copy number 12")).isEmpty(); }, 10000));
    QString cells;
    running.assistive.ask("cells", QStringLiteral("History"), &cells, QStringLiteral("Tavlin"));
    ASSERT_TRUE(cells.contains(QStringLiteral("table cell|selected|TEXT: r\n"))) << "pushed out of sight:\n"
                                                                                 << cells.toStdString();

    activateWindowNamed(QStringLiteral("^Tavlin$"));
    keys(QStringLiteral("ctrl+f Tab Tab Tab Tab")); // from the search field on to the filter button
    ASSERT_TRUE(running.heard(QStringLiteral("All Apps"), QStringLiteral("push button|expandable,focused|")))
        << running.said(QStringLiteral("All Apps"));
    const QStringList stops = tabThrough(running.assistive, 1);
    EXPECT_EQ(stops, QStringList(QStringLiteral("table cell|focused,selected,showing|TEXT: r")));
}

TEST(AccessibilityEndToEnd, TabInSettingsStopsOnlyOnNamedShowingControls)
{
    RunningApplication running;
    ASSERT_TRUE(running.assistive.press(QStringLiteral("Settings")));
    for (const QString& section : {QStringLiteral("General"), QStringLiteral("Interface"),
                                   QStringLiteral("Quick Panel"), QStringLiteral("History & Privacy")}) {
        ASSERT_TRUE(running.assistive.press(section));
        const QStringList stops = tabThrough(running.assistive, 8);
        SCOPED_TRACE(section.toStdString() + ":\n" + stops.join(u'\n').toStdString());
        expectNamedAndShowing(stops);
        EXPECT_TRUE(names(stops).contains(section)) << "Tab comes round to the sections";
    }
}

// The history window from the keyboard, as a screen reader follows it: Tab goes as the window
// reads (the sidebar, the search, the header's actions, the kind and the Apps filter, the records,
// the preview), stops only on what is named and showing, and Shift+Tab comes back the same way.
TEST(AccessibilityEndToEnd, TabInTheHistoryWindowFollowsTheWindowBothWays)
{
    RunningApplication running;
    copyTwoRecordsAndActivate(running);
    if (HasFatalFailure())
        return;

    // From the search field, which has the keyboard as the window opens, twice round the window.
    const QStringList forward = tabThrough(running.assistive, 30);
    SCOPED_TRACE("Tab:\n" + forward.join(u'\n').toStdString());
    expectNamedAndShowing(forward);
    const QStringList reading{QStringLiteral("History"),         QStringLiteral("Settings"),
                              QStringLiteral("Search history…"), QStringLiteral("Hide Preview"),
                              QStringLiteral("More Actions"),    QStringLiteral("All"),
                              QStringLiteral("All Apps")};
    const QStringList stops = names(forward);
    const qsizetype start = stops.indexOf(reading.first());
    ASSERT_GE(start, 0);
    EXPECT_EQ(stops.mid(start, reading.size()), reading);
    // Then the selected record, the preview, and the sidebar again.
    EXPECT_TRUE(forward.value(start + reading.size()).startsWith(QStringLiteral("table cell|")));
    const qsizetype again = stops.indexOf(reading.first(), start + 1);
    ASSERT_GT(again, start + reading.size() + 1);
    const QStringList preview = forward.mid(start + reading.size() + 1, again - start - reading.size() - 1);
    EXPECT_FALSE(preview.isEmpty());
    EXPECT_TRUE(names(preview).contains(QStringLiteral("Copy")));

    const QStringList backward = tabThrough(running.assistive, 30, QStringLiteral("shift+Tab"));
    SCOPED_TRACE("Shift+Tab:\n" + backward.join(u'\n').toStdString());
    expectNamedAndShowing(backward);
    QStringList cycle = names(forward.mid(start, again - start));
    std::reverse(cycle.begin(), cycle.end());
    const QStringList back = names(backward);
    const qsizetype from = back.indexOf(cycle.first());
    ASSERT_GE(from, 0);
    EXPECT_EQ(back.mid(from, cycle.size()), cycle);

    // The arrows in the records: the screen reader follows them from record to record.
    keys(QStringLiteral("ctrl+f Down")); // from the search field to the records
    // Towards the newest record, whether the cards stand side by side or one above the other.
    const QStringList arrows = tabThrough(running.assistive, 1, QStringLiteral("Left Up"));
    EXPECT_TRUE(arrows.contains(QStringLiteral("table cell|focused,selected,showing|TEXT: second")))
        << arrows.join(u'\n').toStdString();
}

// A record copied back from the history window: while its confirmation shows, the record's cell
// holds one element, the "Copied" badge, which goes with the confirmation.
TEST(AccessibilityEndToEnd, ACopiedRecordHoldsTheCopiedBadgeWhileTheConfirmationShows)
{
    RunningApplication running;
    copyTwoRecordsAndActivate(running);
    if (HasFatalFailure())
        return;

    auto watcher = running.assistive.watchInside(QStringLiteral("History"), QStringLiteral("Tavlin"));
    keys(QStringLiteral("ctrl+f Down Return")); // the selected record, copied from the keyboard
    const QStringList inside = AssistiveTechnology::told(*watcher);
    const QString copied = run(QStringLiteral("xclip -selection clipboard -o"));
    EXPECT_EQ(inside,
              QStringList({QStringLiteral("TEXT: %1|label|showing|Copied").arg(copied), QStringLiteral("gone")}))
        << "copied " << copied.toStdString();
}

namespace {

// Whether a new profile's introduction came, at its first step.
bool welcomeShows()
{
    return waitUntil([] { return !windowsNamed(QStringLiteral("\"^Welcome to Tavlin$\"")).isEmpty(); }, 10000);
}

} // namespace

// A new user's introduction, from the keyboard: Tab reads as the window does, Skip, the screen's
// controls, Back, Continue, and stops only where there is something named to see.
TEST(AccessibilityEndToEnd, TabInTheIntroductionFollowsTheScreenAndStopsOnlyOnNamedShowingControls)
{
    Profile profile;
    Desktop desktop;
    AssistiveTechnology assistive;
    auto application = assistive.launch(profile);
    ASSERT_TRUE(welcomeShows());
    EXPECT_TRUE(waitUntil([&] { return assistive.hear(QStringLiteral("Skip")).size() == 1; }, 10000));

    const QStringList screens{QStringLiteral("Welcome"), QStringLiteral("Personalize"), QStringLiteral("Quick Panel"),
                              QStringLiteral("Finish")};
    for (const QString& screen : screens) {
        // Two rounds of the Personalize screen's nine stops; the others have fewer.
        const QStringList stops = tabThrough(assistive, 18);
        SCOPED_TRACE(screen.toStdString() + ":\n" + stops.join(u'\n').toStdString());
        expectNamedAndShowing(stops);
        if (screen == QLatin1String("Personalize")) {
            const QStringList order{
                QStringLiteral("Skip"),         QStringLiteral("Match System"), QStringLiteral("Light"),
                QStringLiteral("Dark"),         QStringLiteral("List"),         QStringLiteral("Cards"),
                QStringLiteral("Show preview"), QStringLiteral("Back"),         QStringLiteral("Continue")};
            EXPECT_TRUE(names(stops).join(u'\n').contains(order.join(u'\n')));
            EXPECT_TRUE(assistive.hear(QStringLiteral("Make Tavlin yours")).contains(QStringLiteral("heading||")));
        }
        if (screen == QLatin1String("Quick Panel")) {
            // The hints are heard with their keys.
            for (const QString& keys :
                 {QStringLiteral("Up Arrow, Down Arrow"), QStringLiteral("Enter"), QStringLiteral("Escape")}) {
                EXPECT_EQ(assistive.hear(keys), QStringList(QStringLiteral("label||"))) << keys.toStdString();
            }
        }
        if (screen != QLatin1String("Finish")) {
            ASSERT_TRUE(assistive.press(QStringLiteral("Continue")));
        }
    }
    ::kill(application->processId(), SIGTERM);
    application->waitForFinished(10000);
}

// The question before records are deleted, met from the keyboard: it opens with the focus on
// Cancel and Return answers Cancel; after a Tab to "Delete and Apply" Return still deletes
// nothing. Its frame offers neither minimising nor maximising.
TEST(AccessibilityEndToEnd, ReturnOnTheRetentionQuestionNeverDeletes)
{
    RunningApplication running(600);
    ASSERT_TRUE(running.assistive.press(QStringLiteral("Settings")));
    ASSERT_TRUE(running.assistive.press(QStringLiteral("History & Privacy")));
    // The keys go to Settings, as they would after a click on it.
    activateWindowNamed(QStringLiteral("^Settings$"));
    // Tab on to the record limit.
    const QString limit = QStringLiteral("Number of records");
    for (int stop = 0; stop < 12 && !running.assistive.hear(limit).contains(QStringLiteral("combo box|focused|1,000"));
         ++stop) {
        keys(QStringLiteral("Tab"));
        QTest::qWait(300);
    }
    ASSERT_TRUE(running.heard(limit, QStringLiteral("combo box|focused|1,000"))) << running.said(limit);
    const QString question = QStringLiteral("Delete 100 records?");
    for (const bool tabbed : {false, true}) {
        keys(QStringLiteral("Up")); // 500 of the 1,000 records kept: 100 to go
        ASSERT_TRUE(waitUntil([&] { return Desktop::activeWindowName() == question; }, 10000))
            << Desktop::activeWindowName().toStdString();
        const QString allowed = run(
            QStringLiteral("xprop -id %1 _NET_WM_ALLOWED_ACTIONS").arg(run(QStringLiteral("xdotool getactivewindow"))));
        EXPECT_FALSE(allowed.contains(QStringLiteral("MINIMIZE")) || allowed.contains(QStringLiteral("MAXIMIZE")))
            << allowed.toStdString();
        EXPECT_TRUE(running.heard(QStringLiteral("Cancel"), QStringLiteral("push button|focused|")))
            << running.said(QStringLiteral("Cancel"));
        if (tabbed) {
            keys(QStringLiteral("Tab"));
            EXPECT_TRUE(running.heard(QStringLiteral("Delete and Apply"), QStringLiteral("push button|focused|")))
                << running.said(QStringLiteral("Delete and Apply"));
        }
        keys(QStringLiteral("Return"));
        EXPECT_TRUE(waitUntil([&] { return Desktop::activeWindowName() != question; }, 10000)) << "answered";
        EXPECT_TRUE(waitUntil([&] { return records(running.profile) == 600; }, 10000))
            << records(running.profile) << (tabbed ? " after a Tab" : " just opened");
    }
}

// A step change of the introduction met by a screen reader, forwards and backwards, by key and by
// click: the reader says the new step's heading once, also where the keyboard stays on Continue,
// then the new name of the button it stays on (Continue becomes Get Started, and back), and no
// stop between; the focus is on the step's default button, which shows, and the window
// takes the heading for its name. Return presses the button that has the keyboard, Back and Skip
// too, and Continue from a choice.
TEST(AccessibilityEndToEnd, EachStepOfTheIntroductionIsHeardByItsHeadingWithTheFocusOnItsDefaultButton)
{
    Profile profile;
    Desktop desktop;
    AssistiveTechnology assistive;
    auto application = assistive.launch(profile);
    const QString introduction = QStringLiteral("\"^Welcome to Tavlin$\"");
    ASSERT_TRUE(waitUntil([&] { return !windowsNamed(introduction).isEmpty(); }, 10000));
    activateWindowNamed(QStringLiteral("^Welcome.to.Tavlin$"));
    const auto holdsFocus = [&](const QString& name) {
        return waitUntil(
            [&] {
                const QStringList heard = assistive.hear(name);
                return std::any_of(heard.cbegin(), heard.cend(), [](const QString& line) {
                    return line.section(u'|', 1, 1).split(u',').contains(QStringLiteral("focused"));
                });
            },
            10000);
    };
    const QString welcome = QStringLiteral("Hi! I’m Tavlin 👋");
    ASSERT_TRUE(holdsFocus(QStringLiteral("Continue"))) << "it opens with the keyboard on Continue";
    EXPECT_TRUE(assistive.hear(welcome).contains(QStringLiteral("frame||"))) << "the window is named by its step";

    auto speaker = assistive.speaker(300);
    // What the reader says until it says `heading`, or until it says the name of a control `name`
    // (its name first) when no heading is given; the heading itself is left out.
    const auto saidUntil = [&](const QString& heading, const QString& name = {}) {
        QStringList said;
        bool heard = false;
        waitUntil(
            [&] {
                while (!heard && speaker->canReadLine()) {
                    const QString line = QString::fromUtf8(speaker->readLine()).trimmed();
                    if (!line.startsWith(QLatin1String("said|")))
                        continue;
                    const QString words = line.mid(5);
                    heard = heading.isEmpty() ? words.startsWith(name) : words == heading;
                    if (!heard || heading.isEmpty())
                        said.append(words);
                }
                return heard;
            },
            10000);
        if (!heard)
            said.append(QStringLiteral("(not heard: %1)").arg(heading.isEmpty() ? name : heading));
        return said;
    };
    const auto byKey = [](const char* key) { return [key] { keys(QString::fromLatin1(key)); }; };
    const auto byClick = [&](const char* name) {
        return [&assistive, name] { ASSERT_TRUE(assistive.click(QString::fromLatin1(name))); };
    };
    const QString personalize = QStringLiteral("Make Tavlin yours");
    const QString quickPanel = QStringLiteral("History in one keystroke");
    const QString finish = QStringLiteral("All set!");
    const QString next = QStringLiteral("Continue");
    const QString intoFinish = QStringLiteral("All set! Get Started");
    const QString outOfFinish = QStringLiteral("History in one keystroke. Continue");
    struct Change {
        const char* keysBefore;
        QString focusedBefore;
        std::function<void()> change;
        QString heading;
        QStringList stops; // said between the change and the heading
        QString saidForHeading = {}; // the heading and the new name of the button the keyboard stayed on
    };
    const Change changes[] = {
        {"", next, byKey("Return"), personalize, {}},
        {"Tab Tab", QStringLiteral("Match System"), byKey("Return"), quickPanel, {next}},
        {"shift+Tab", QStringLiteral("Back"), byKey("Return"), personalize, {next}},
        {"", next, byClick("Continue"), quickPanel, {}},
        {"", next, byKey("Return"), finish, {}, intoFinish},
        {"", QStringLiteral("Get Started"), byKey("ctrl+bracketleft"), quickPanel, {}, outOfFinish},
        {"", next, byClick("Back"), personalize, {}},
        {"", next, byKey("ctrl+bracketleft"), welcome, {}},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(QStringLiteral("from %1 to %2").arg(change.focusedBefore, change.heading).toStdString());
        if (*change.keysBefore) {
            keys(QString::fromLatin1(change.keysBefore));
            const QStringList said = saidUntil({}, change.focusedBefore);
            ASSERT_TRUE(said.value(said.size() - 1).startsWith(change.focusedBefore)) << said.join(u'\n').toStdString();
        }
        ASSERT_TRUE(holdsFocus(change.focusedBefore));
        change.change();
        EXPECT_EQ(saidUntil(change.saidForHeading.isEmpty() ? change.heading : change.saidForHeading), change.stops);
        const QString button = change.heading == finish ? QStringLiteral("Get Started") : next;
        EXPECT_TRUE(holdsFocus(button));
        EXPECT_TRUE(assistive.hear(change.heading).contains(QStringLiteral("frame||")));
    }
    // Return on Skip skips. The last heading was said once: the next thing said is Skip.
    keys(QStringLiteral("Tab"));
    ASSERT_TRUE(holdsFocus(QStringLiteral("Skip")));
    const QStringList toSkip = saidUntil({}, QStringLiteral("Skip"));
    EXPECT_EQ(toSkip.size(), 1) << toSkip.join(u'\n').toStdString();
    keys(QStringLiteral("Return"));
    EXPECT_TRUE(waitUntil([&] { return windowsNamed(introduction).isEmpty(); }, 10000));
    speaker->kill();
    ::kill(application->processId(), SIGTERM);
    application->waitForFinished(10000);
}

// Reset in the introduction's shortcut step, from the keyboard: it greys itself out, and the
// keyboard goes to the recorder rather than on to Back, heard to arrive there with the default
// shortcut now in force; the next Space records, and does not go back a step.
TEST(AccessibilityEndToEnd, ResetInTheIntroductionLeavesTheKeyboardOnTheRecorderHeard)
{
    Profile profile;
    Desktop desktop;
    AssistiveTechnology assistive;
    auto application = assistive.launch(profile);
    ASSERT_TRUE(welcomeShows());
    ASSERT_TRUE(activateWindowNamed(QStringLiteral("^Welcome.to.Tavlin$")));
    // Each Continue once the step before has come.
    for (const QString& heading : {QStringLiteral("Make Tavlin yours"), QStringLiteral("History in one keystroke")}) {
        ASSERT_TRUE(assistive.press(QStringLiteral("Continue")));
        ASSERT_TRUE(waitUntil([&] { return assistive.hear(heading).contains(QStringLiteral("frame||")); }, 10000));
    }
    const QString recorder = QStringLiteral("Change Quick Panel shortcut");
    const auto holds = [&](const QString& line) {
        return waitUntil([&] { return assistive.hear(recorder).contains(line); }, 10000);
    };
    // Back, then the recorder: Reset is grey while the default is in force.
    keys(QStringLiteral("shift+Tab shift+Tab"));
    ASSERT_TRUE(holds(QStringLiteral("push button|focused|Ctrl+Alt+V")))
        << assistive.hear(recorder).join(u'\n').toStdString();
    keys(QStringLiteral("space ctrl+alt+b Tab"));
    ASSERT_TRUE(waitUntil(
        [&] { return assistive.hear(QStringLiteral("Reset")).contains(QStringLiteral("push button|focused|")); },
        10000));

    auto speaker = assistive.speaker(4);
    keys(QStringLiteral("space"));
    EXPECT_EQ(AssistiveTechnology::spoken(*speaker), QStringList(recorder + QStringLiteral(" Ctrl+Alt+V")));
    EXPECT_TRUE(holds(QStringLiteral("push button|focused|Ctrl+Alt+V")));
    keys(QStringLiteral("space"));
    EXPECT_TRUE(holds(QStringLiteral("push button|focused,pressed|Press a shortcut…")));
    EXPECT_TRUE(assistive.hear(QStringLiteral("History in one keystroke")).contains(QStringLiteral("frame||")))
        << "still the shortcut step";
    keys(QStringLiteral("Escape"));
    ::kill(application->processId(), SIGTERM);
    application->waitForFinished(10000);
}
