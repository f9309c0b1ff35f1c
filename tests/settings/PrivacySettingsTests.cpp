// The History & Privacy pane over a real history store: nothing is deleted before the user says
// so, and the excluded applications with their chooser.
#include "ApplicationChooser.h"
#include "ExcludedApplicationsSection.h"
#include "KeyboardFocus.h"
#include "PrivacySettingsPane.h"
#include "SettingsHarness.h"
#include "SettingsPicker.h"
#include "StoredPreferences.h"

#include <QAccessible>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

struct PrivacyFixture : SettingsHarness {
    PrivacyFixture() : SettingsHarness(SettingsSection::general) { }

    qint64 stored() const { return queryInteger(folder.databasePath(), QStringLiteral("SELECT COUNT(*) FROM clips")); }
    PrivacySettingsPane* pane() const { return window->findChild<PrivacySettingsPane*>(); }
    QMessageBox* awaitQuestion() const
    {
        EXPECT_TRUE(
            QTest::qWaitFor([this] { return pane()->confirmation() && pane()->confirmation()->isVisible(); }, 10000))
            << "no question was shown";
        return pane()->confirmation();
    }
    void pick(const QString& identifier, const QString& option)
    {
        auto* picker = find<SettingsPicker>(identifier);
        picker->setCurrentIndex(picker->findText(option)); // as the picker's list leaves it
        picker->activated(picker->currentIndex());
    }
    QString caption(const QString& identifier) const
    {
        auto* label = find<QLabel>(identifier);
        return label && label->isVisible() ? label->text() : QString();
    }
};

} // namespace

TEST(PrivacyPane, ALimitThatDeletesRecordsWaitsForDeleteAndApply)
{
    PrivacyFixture fixture;
    fixture.fill(290);
    fixture.open(SettingsSection::privacy);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return fixture.caption(QStringLiteral("retention-usage")).startsWith(QStringLiteral("Now: 290 records"));
        },
        10000))
        << fixture.caption(QStringLiteral("retention-usage")).toStdString();

    fixture.pick(QStringLiteral("retention-count"), QStringLiteral("250"));
    QMessageBox* question = fixture.awaitQuestion();
    ASSERT_TRUE(question);
    EXPECT_EQ(question->objectName(), QStringLiteral("retention-confirmation"));
    EXPECT_EQ(question->windowModality(), Qt::WindowModal);
    EXPECT_EQ(question->text(), QStringLiteral("Delete 40 records?"));
    EXPECT_EQ(question->informativeText(),
              QStringLiteral("New limit: 250 records and 256 MB. Oldest ordinary records to be "
                             "deleted: 40 (40 KB). Favorites (0) will be kept. This can’t be undone."));
    EXPECT_EQ(question->defaultButton(), question->escapeButton());
    EXPECT_EQ(fixture.find<SettingsPicker>(QStringLiteral("retention-count"))->currentText(), QStringLiteral("1,000"))
        << "a limit is not shown before it applies";
    QTest::keyClick(question, Qt::Key_Escape);
    fixture.settle();
    EXPECT_FALSE(fixture.retention.pending());
    EXPECT_FALSE(fixture.pane()->confirmation());
    EXPECT_EQ(fixture.stored(), 290);
    EXPECT_EQ(fixture.find<SettingsPicker>(QStringLiteral("retention-count"))->currentText(), QStringLiteral("1,000"));

    fixture.pick(QStringLiteral("retention-count"), QStringLiteral("250"));
    question = fixture.awaitQuestion();
    ASSERT_TRUE(question);
    question->close(); // closed any other way: Cancel too
    fixture.settle();
    EXPECT_FALSE(fixture.retention.pending());
    EXPECT_EQ(fixture.stored(), 290);

    auto* count = fixture.find<SettingsPicker>(QStringLiteral("retention-count"));
    fixture.window->activateWindow();
    fixture.settle();
    count->setFocus(Qt::TabFocusReason);
    fixture.pick(QStringLiteral("retention-count"), QStringLiteral("250"));
    question = fixture.awaitQuestion();
    ASSERT_TRUE(question);
    question->findChild<QPushButton*>(QStringLiteral("retention-confirm"))->click();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return fixture.retention.applied().clipCount == 250 && !fixture.retention.isApplying(); }, 10000));
    fixture.settle();
    EXPECT_EQ(fixture.stored(), 250);
    EXPECT_EQ(queryInteger(fixture.folder.databasePath(), QStringLiteral("SELECT MIN(id) FROM clips")), 41)
        << "the newest are kept";
    EXPECT_EQ(count->currentText(), QStringLiteral("250"));
    EXPECT_TRUE(fixture.window->focusWidget() == count && KeyboardFocus::cameByKeyboard(count))
        << "disabled while the limit applied, the picker keeps the keyboard";
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return fixture.caption(QStringLiteral("retention-usage")).startsWith(QStringLiteral("Now: 250 records"));
        },
        10000));
    fixture.fill(5); // a change of the history while the pane shows: the figures follow
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return fixture.caption(QStringLiteral("retention-usage")).startsWith(QStringLiteral("Now: 255 records"));
        },
        10000));

    // Leaving the pane answers nothing: the question goes with the window and comes back with it.
    fixture.pick(QStringLiteral("retention-count"), QStringLiteral("100"));
    ASSERT_TRUE(fixture.awaitQuestion());
    fixture.window->close();
    fixture.settle();
    EXPECT_TRUE(fixture.retention.pending());
    EXPECT_FALSE(fixture.pane()->confirmation());
    fixture.window->show();
    question = fixture.awaitQuestion();
    ASSERT_TRUE(question);
    EXPECT_EQ(question->text(), QStringLiteral("Delete 155 records?"));
    QTest::keyClick(question, Qt::Key_Escape);
    fixture.settle();
    EXPECT_FALSE(fixture.retention.pending());
    EXPECT_EQ(fixture.stored(), 255);
}

// Return answers the question just opened with Cancel, and still does once the focus is on
// "Delete and Apply": a stray key never deletes.
TEST(PrivacyPane, ReturnOnTheQuestionNeverDeletes)
{
    PrivacyFixture fixture;
    fixture.fill(290);
    fixture.open(SettingsSection::privacy);
    for (const bool tabbed : {false, true}) {
        fixture.pick(QStringLiteral("retention-count"), QStringLiteral("250"));
        QMessageBox* question = fixture.awaitQuestion();
        ASSERT_TRUE(question);
        question->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(question));
        if (tabbed)
            question->findChild<QPushButton*>(QStringLiteral("retention-confirm"))->setFocus(Qt::TabFocusReason);
        QTest::keyClick(question->focusWidget() ? question->focusWidget() : question, Qt::Key_Return);
        fixture.settle();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !fixture.retention.isApplying(); }, 10000));
        EXPECT_FALSE(fixture.retention.pending()) << "answered";
        EXPECT_EQ(fixture.retention.applied().clipCount, 1000) << (tabbed ? "tabbed" : "just opened");
        EXPECT_EQ(fixture.stored(), 290);
    }
}

TEST(ApplicationChooser, TellsApartApplicationsOfTheSameName)
{
    FakeWorkspace workspace;
    FakeApplicationIconImages icons;
    const SourceApplicationIcon sources(workspace, icons);
    const ApplicationChooser chooser(sources,
                                     {{QStringLiteral("org.gnome.TextEditor"), QStringLiteral("Text Editor"), {}, {}},
                                      {QStringLiteral("org.example.Editor"), QStringLiteral("Text Editor"), {}, {}},
                                      {QStringLiteral("org.mozilla.firefox"), QStringLiteral("Firefox"), {}, {}}});
    QStringList shown;
    for (int row = 0; row < chooser.list()->model()->rowCount(); ++row)
        shown.append(chooser.list()->model()->index(row, 0).data().toString());
    EXPECT_EQ(shown,
              QStringList({QStringLiteral("Firefox"), QStringLiteral("Text Editor (org.example.Editor)"),
                           QStringLiteral("Text Editor (org.gnome.TextEditor)")}));
}

// Tab goes round the whole dialog as it reads, the search field included: field, list, the three
// buttons, field again.
TEST(ApplicationChooser, TabGoesRoundTheWholeDialog)
{
    QWidget settings;
    settings.show();
    FakeWorkspace workspace;
    FakeApplicationIconImages icons;
    const SourceApplicationIcon sources(workspace, icons);
    ApplicationChooser chooser(sources, {{QStringLiteral("org.mozilla.firefox"), QStringLiteral("Firefox"), {}, {}}},
                               &settings);
    chooser.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&chooser));
    chooser.filter()->setFocus();
    QList<QWidget*> stops;
    for (int press = 0; press < 5; ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        stops.append(QApplication::focusWidget());
    }
    EXPECT_EQ(stops[0], chooser.list());
    const QList<QPushButton*> buttons = chooser.findChildren<QPushButton*>();
    EXPECT_EQ(QSet<QWidget*>(stops.begin() + 1, stops.begin() + 4), QSet<QWidget*>(buttons.begin(), buttons.end()));
    EXPECT_EQ(stops[4], chooser.filter());
}

// Icons arrive late: the row and the chooser never wait for them.
TEST(PrivacyPane, ExcludedApplicationsAreShownOfferedAndChosen)
{
    PrivacyFixture fixture;
    const QString firefoxFile = fixture.folder.path() + QStringLiteral("/firefox.desktop");
    fixture.icons.hold = true;
    fixture.icons.applications.insert(QStringLiteral("firefox"), FakeApplicationIconImages::filled(Qt::yellow));
    fixture.workspace.install(
        {QStringLiteral("org.mozilla.firefox"), QStringLiteral("Firefox"), QStringLiteral("firefox"), firefoxFile});
    fixture.workspace.install({QStringLiteral("org.gnome.TextEditor"), QStringLiteral("Text Editor"), QString(),
                               fixture.folder.path() + QStringLiteral("/editor.desktop")});
    QStringList sources;
    for (int i = 0; i < 14; ++i)
        sources.append(QStringLiteral("org.example.App%1").arg(i, 2, 10, QLatin1Char('0')));
    sources << QStringLiteral("com.bitwarden.desktop") << Workspace::ownApplicationID() << QStringLiteral("no_dots")
            << QStringLiteral("org.mozilla.firefox");
    fixture.fill(int(sources.size()) * 2, sources);
    fixture.exclusions.add(QStringLiteral("org.mozilla.firefox"));
    fixture.exclusions.add(QStringLiteral("org.example.Gone"));
    fixture.open(SettingsSection::privacy);
    auto* section = fixture.window->findChild<ExcludedApplicationsSection*>();

    QStringList offered = section->knownSources();
    EXPECT_EQ(offered.size(), 12);
    EXPECT_EQ(offered.first(), QStringLiteral("org.example.App00"));
    EXPECT_FALSE(offered.contains(QStringLiteral("org.mozilla.firefox")) || offered.contains(QStringLiteral("no_dots"))
                 || offered.contains(QStringLiteral("com.bitwarden.desktop"))
                 || offered.contains(Workspace::ownApplicationID()));

    QWidget* gone = fixture.find(QStringLiteral("remove-exclusion-org.example.Gone"))->parentWidget();
    QStringList goneTexts;
    for (QWidget* label : gone->findChildren<QWidget*>())
        if (auto* accessible = QAccessible::queryAccessibleInterface(label))
            goneTexts.append(accessible->text(QAccessible::Name));
    EXPECT_TRUE(goneTexts.contains(QStringLiteral("Not found on this computer"))) << goneTexts.join(u'|').toStdString();
    fixture.click(QStringLiteral("remove-exclusion-org.example.Gone"));
    EXPECT_EQ(fixture.exclusions.bundleIDs(), QStringList{QStringLiteral("org.mozilla.firefox")});
    EXPECT_EQ(fixture.defaults.stringArray(StoredPreferences::excludedApplications.key),
              QStringList{QStringLiteral("org.mozilla.firefox")});

    // The menu offers the history's applications, then the chooser.
    QMenu* menu = section->addMenu();
    Q_EMIT menu->aboutToShow();
    const QList<QAction*> actions = menu->actions();
    ASSERT_GE(actions.size(), 14);
    EXPECT_EQ(actions.last()->text(), QStringLiteral("Choose App…"));
    actions[1]->trigger(); // the first offer, after the section heading
    fixture.settle();
    EXPECT_EQ(fixture.exclusions.bundleIDs().last(), QStringLiteral("org.example.App00"));

    section->chooseApplication();
    fixture.settle();
    auto* chooser = fixture.window->findChild<ApplicationChooser*>();
    ASSERT_TRUE(chooser);
    EXPECT_EQ(chooser->windowTitle(), QStringLiteral("Don’t save history from an app"));
    EXPECT_EQ(chooser->list()->model()->rowCount(), 2);
    // Drawn as each row is: Firefox's icon once it arrives.
    const auto showsFirefox = [&] {
        const QImage shown = chooser->list()->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const auto* pixels = reinterpret_cast<const QRgb*>(shown.constBits());
        return std::count(pixels, pixels + shown.width() * shown.height(), qRgb(255, 255, 0)) >= 20 * 20;
    };
    EXPECT_FALSE(showsFirefox()) << "Firefox's icon has not arrived";
    fixture.icons.release();
    EXPECT_TRUE(QTest::qWaitFor(showsFirefox, 10000));
    QTest::keyClicks(chooser->filter(), QStringLiteral("fire"));
    chooser->findChild<QPushButton*>(QStringLiteral("application-chooser-add"))->click();
    fixture.settle();
    EXPECT_EQ(fixture.caption(QStringLiteral("exclusion-message")), QStringLiteral("This app is already in the list."));

    section->chooseApplication();
    fixture.settle();
    chooser = fixture.window->findChild<ApplicationChooser*>();
    QTest::keyClicks(chooser->filter(), QStringLiteral("text"));
    QTest::keyClick(chooser->filter(), Qt::Key_Return);
    fixture.settle();
    EXPECT_EQ(fixture.exclusions.bundleIDs().last(), QStringLiteral("org.gnome.TextEditor"));
    EXPECT_TRUE(fixture.caption(QStringLiteral("exclusion-message")).isEmpty())
        << "a successful add clears the refusal";
    EXPECT_TRUE(fixture.find(QStringLiteral("remove-exclusion-org.gnome.TextEditor")));
}
