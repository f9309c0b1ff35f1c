#include "ApplicationActivation.h"
#include "FakeSystemAppearance.h"
#include "FakeSystemTray.h"
#include "FakeTrayColors.h"
#include "FakeWindowManagerHints.h"
#include "FakeWindowProperties.h"
#include "HistoryWindow.h"
#include "InMemoryDefaults.h"
#include "SettingsWindow.h"
#include "StatusItem.h"
#include "ThemeAppearance.h"
#include "ViewPreferences.h"
#include "WindowPresenter.h"

#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QSet>
#include <QShortcut>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

class FakeActivation : public ApplicationActivation {
public:
    bool active = true;
    bool isActive() const override { return active; }
    void set(bool on)
    {
        active = on;
        Q_EMIT activeChanged(on);
    }
};

struct Presenter {
    InMemoryDefaults defaults;
    ViewPreferences preferences{defaults};
    FakeSystemAppearance appearance;
    FakeWindowManagerHints windowManager;
    FakeWindowProperties windowProperties;
    FakeActivation activation;
    WindowPresenter windows{activation, windowManager, windowProperties, appearance, preferences};

    QWidget* history() { return windows.historyWindow(); }
    QWidget* settings() { return windows.settingsWindow(); }
    bool settingsAboveHistory()
    {
        return settings() && history() && windowManager.stackedAbove.value(settings()->winId()) == history()->winId();
    }
    bool settingsOnItsOwn() { return settings() && !windowManager.stackedAbove.contains(settings()->winId()); }
    void press(QWidget* window, const char* keys)
    {
        for (QShortcut* shortcut : window->findChildren<QShortcut*>()) {
            if (shortcut->key() == QKeySequence(QString::fromLatin1(keys)))
                Q_EMIT shortcut->activated();
        }
    }
};

} // namespace

TEST(WindowPresenter, SettingsStandsAboveTheHistoryWindowOnlyWhileBothShow)
{
    Presenter fixture;
    fixture.windows.showSettings();
    const WId settingsID = fixture.settings()->winId();
    EXPECT_TRUE(fixture.settingsOnItsOwn());

    fixture.windows.showHistory();
    EXPECT_TRUE(fixture.windowManager.closeOnly.contains(fixture.history()->winId())) << "no minimise, no maximise";
    EXPECT_TRUE(fixture.settingsAboveHistory()) << "a tray click never buries Settings";

    fixture.windows.toggleHistory();
    EXPECT_FALSE(fixture.history()->isVisible());
    EXPECT_TRUE(fixture.settingsOnItsOwn()) << "back to normal when the history window hides";

    fixture.windows.showHistory();
    ASSERT_TRUE(fixture.settingsAboveHistory());
    fixture.settings()->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return fixture.settingsOnItsOwn(); }));
    fixture.windows.showSettings();
    EXPECT_TRUE(fixture.settingsAboveHistory()) << "shown again, above again";
    fixture.history()->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return fixture.settingsOnItsOwn(); }));
    EXPECT_EQ(fixture.settings()->winId(), settingsID) << "one native window for the life of the frame";
}

TEST(WindowPresenter, AMinimisedHistoryWindowCountsAsHidden)
{
    Presenter fixture;
    fixture.windows.showSettings();
    fixture.windows.showHistory();
    fixture.history()->showMinimized();
    EXPECT_TRUE(QTest::qWaitFor([&] { return fixture.settingsOnItsOwn(); }));

    fixture.windows.toggleHistory();
    EXPECT_TRUE(fixture.windows.isHistoryShown()) << "one tray click brings it back";
    EXPECT_FALSE(fixture.history()->isMinimized());
    EXPECT_TRUE(fixture.settingsAboveHistory());
    fixture.windows.toggleHistory();
    EXPECT_FALSE(fixture.history()->isVisible()) << "and the next one hides it";
}

TEST(WindowPresenter, CtrlHHidesOnlyTheHistoryWindow)
{
    Presenter fixture;
    fixture.windows.showHistory();
    fixture.windows.showSettings();
    fixture.press(fixture.settings(), "Ctrl+H");
    EXPECT_FALSE(fixture.history()->isVisible());
    EXPECT_TRUE(fixture.settings()->isVisible()) << "Settings cannot hide";

    fixture.windows.showHistory();
    fixture.press(fixture.history(), "Ctrl+H");
    EXPECT_FALSE(fixture.history()->isVisible());
    EXPECT_TRUE(fixture.settings()->isVisible());
    EXPECT_TRUE(fixture.settingsOnItsOwn());
}

TEST(WindowPresenter, DeactivationDismissesTheHistoryWindowUnlessAMenuOrAModalWindowIsUpOrNoTrayShows)
{
    Presenter fixture;
    fixture.activation.active = false; // no window of its own shows yet
    QSignalSpy deactivations(&fixture.windows, &WindowPresenter::deactivated);
    fixture.windows.showHistory();
    fixture.activation.set(false);
    EXPECT_FALSE(fixture.history()->isVisible());
    EXPECT_EQ(deactivations.count(), 1);

    fixture.windows.showHistory();
    fixture.activation.set(true);
    fixture.windows.menuOpened();
    fixture.activation.set(false);
    EXPECT_TRUE(fixture.history()->isVisible()) << "the status menu is open";
    fixture.windows.menuClosed();
    EXPECT_FALSE(fixture.history()->isVisible()) << "dismissed once the menu closes";

    fixture.windows.showHistory();
    fixture.activation.set(true);
    auto* sheet = new QDialog(fixture.history());
    sheet->setWindowModality(Qt::WindowModal);
    sheet->show();
    fixture.activation.set(false);
    EXPECT_TRUE(fixture.history()->isVisible()) << "a sheet is attached";
    sheet->close();
    fixture.windows.sheetEnded();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !fixture.history()->isVisible(); }));

    // Focus handed back after a Quick Panel copy keeps the window; the next deactivation does not.
    fixture.windows.showHistory();
    fixture.activation.set(true);
    fixture.windows.quickPanelWillRestoreExternal();
    fixture.activation.set(false);
    EXPECT_TRUE(fixture.history()->isVisible());
    fixture.activation.set(true);
    fixture.activation.set(false);
    EXPECT_FALSE(fixture.history()->isVisible());

    // Asked for while another of its windows had the keyboard: losing that window's keyboard late
    // keeps it; losing its own does not.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    fixture.activation.set(true);
    fixture.windows.showHistory();
    fixture.activation.set(false);
    EXPECT_TRUE(fixture.history()->isVisible()) << "the earlier window's deactivation";
    fixture.activation.set(true);
    fixture.activation.set(false);
    EXPECT_FALSE(fixture.history()->isVisible());

    // Without a tray the window is all there is of Tavlin: an ordinary one, which stays.
    const auto floating = [&] {
        return fixture.history()->windowFlags().testFlag(Qt::WindowStaysOnTopHint)
            && fixture.windowManager.closeOnly.contains(fixture.history()->winId());
    };
    fixture.windows.setTrayShown(false);
    fixture.windows.showHistory();
    EXPECT_FALSE(floating());
    fixture.press(fixture.history(), "Ctrl+M");
    EXPECT_EQ(fixture.windowManager.minimised, QList{quintptr(fixture.history()->winId())});
    fixture.activation.set(true);
    fixture.activation.set(false);
    EXPECT_TRUE(fixture.history()->isVisible()) << "no tray";
    fixture.windows.setTrayShown(true);
    EXPECT_TRUE(floating()) << "a tray came";
    EXPECT_FALSE(fixture.history()->isVisible()) << "floating, it makes way while Tavlin is not in use";
}

// Closed with the keyboard and asked for again before Qt heard that the keyboard left it (the tray
// going away brings it back): that loss, late, is not the user leaving; the next one is.
TEST(WindowPresenter, AWindowShownAgainBeforeTheLossOfItsClosingArrivesStays)
{
    Presenter fixture;
    fixture.windows.showHistory();
    ASSERT_TRUE(QTest::qWaitForWindowActive(fixture.history()));
    fixture.activation.set(true);
    fixture.press(fixture.history(), "Ctrl+W");
    ASSERT_FALSE(fixture.history()->isVisible());
    fixture.windows.reopen();
    fixture.activation.set(false);
    EXPECT_TRUE(fixture.history()->isVisible()) << "the closed window's loss, late";
    fixture.activation.set(true);
    fixture.activation.set(false);
    EXPECT_FALSE(fixture.history()->isVisible());
}

// Escape in the Quick Panel hands the keyboard back to another application; a launch just after
// asks for the history window. The window manager may apply the hand-back after the history
// window took the keyboard: that loss is not the user leaving Tavlin.
TEST(WindowPresenter, AWindowAskedForWhileTheKeyboardIsHandedBackComesForwardAgain)
{
    Presenter fixture;
    QWidget panel; // has the keyboard until the hand-back arrives
    QWidget terminal; // where it goes back to
    terminal.show();
    panel.show();
    const auto handBack = [&] {
        panel.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
        fixture.activation.set(true);
        fixture.windows.quickPanelWillRestoreExternal();
    };
    const auto arrives = [&] {
        terminal.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&terminal));
        fixture.activation.set(false);
    };

    handBack();
    fixture.windows.reopen();
    ASSERT_TRUE(QTest::qWaitForWindowActive(fixture.history()));
    arrives();
    EXPECT_TRUE(fixture.history()->isVisible()) << "the hand-back, late";
    EXPECT_TRUE(QTest::qWaitForWindowActive(fixture.history())) << "asked for, so it takes the keyboard back";
    arrives();
    EXPECT_FALSE(fixture.history()->isVisible()) << "the hand-back is over: the user left";

    // Arrived before the launch: it was the hand-back, and the next loss is the user's.
    handBack();
    arrives();
    fixture.windows.reopen();
    ASSERT_TRUE(QTest::qWaitForWindowActive(fixture.history()));
    arrives();
    EXPECT_FALSE(fixture.history()->isVisible());

    // A hand-back that never arrives is over after a moment.
    fixture.windows.hideHistory();
    handBack();
    QTest::qWait(1500);
    fixture.windows.reopen();
    ASSERT_TRUE(QTest::qWaitForWindowActive(fixture.history()));
    arrives();
    EXPECT_FALSE(fixture.history()->isVisible());
}

TEST(WindowPresenter, TheTrayTogglesAndAReopenPrefersVisibleSettings)
{
    Presenter fixture;
    QSignalSpy focus(&fixture.windows, &WindowPresenter::searchFocusRequested);
    fixture.windows.toggleHistory();
    ASSERT_TRUE(fixture.windows.isHistoryShown());
    fixture.windows.toggleHistory();
    EXPECT_FALSE(fixture.history()->isVisible());

    fixture.windows.reopen();
    EXPECT_TRUE(fixture.history()->isVisible());
    EXPECT_EQ(focus.count(), 2) << "every show focuses the search field";
    // Shown but not in use (focus went back after a Quick Panel copy): the click brings it forward.
    fixture.windows.quickPanelWillRestoreExternal();
    fixture.activation.set(false);
    fixture.windows.toggleHistory();
    EXPECT_TRUE(fixture.history()->isVisible());

    fixture.windows.showSettings();
    fixture.history()->hide();
    fixture.windows.reopen();
    EXPECT_FALSE(fixture.history()->isVisible()) << "Settings came forward instead";

    bool presented = true;
    int hides = 0;
    fixture.windows.setQuickPanel(
        {[&] { return presented; }, nullptr, [&](WindowPresenter::PanelDismissal) { ++hides; }});
    fixture.settings()->hide();
    fixture.windows.reopen();
    EXPECT_FALSE(fixture.settings()->isVisible()) << "nothing happens while the Quick Panel shows";
    fixture.windows.shortcutPressed();
    EXPECT_EQ(hides, 1);
}

TEST(WindowPresenter, EveryWindowRootFollowsTheTheme)
{
    Presenter fixture;
    fixture.preferences.setThemePreference(ThemePreference::dark);
    fixture.windows.showHistory();
    fixture.windows.showSettings();
    for (QWidget* window : {fixture.history(), fixture.settings()})
        EXPECT_TRUE(ThemeAppearance::of(window).dark) << window->objectName().toStdString();
    EXPECT_EQ(fixture.settings()->palette().color(QPalette::Window), QColor(Qt::black)) << "true black";
    const auto titleBar = [&] {
        return fixture.windowProperties.read(fixture.settings()->winId(), "_GTK_THEME_VARIANT");
    };
    EXPECT_EQ(titleBar(), QByteArray("dark"));

    fixture.preferences.setThemePreference(ThemePreference::system);
    fixture.appearance.setDark(false);
    for (QWidget* window : {fixture.history(), fixture.settings()})
        EXPECT_FALSE(ThemeAppearance::of(window).dark) << window->objectName().toStdString();
    EXPECT_EQ(titleBar(), std::nullopt);
}

// The frame is mapped before its content is built, to overlap the window manager's work: the
// content must still be in place, shown and laid out, before the event loop can paint anything.
TEST(WindowPresenter, TheHistoryWindowHoldsItsContentLaidOutBeforeItsFirstPaint)
{
    Presenter fixture;
    QPointer<QWidget> content;
    fixture.windows.setHistoryContent([&] {
        content = new QWidget;
        auto* layout = new QVBoxLayout(content);
        layout->addWidget(new QLineEdit);
        EXPECT_TRUE(fixture.history() && fixture.history()->isVisible()) << "built once the frame shows";
        return content;
    });
    fixture.windows.showHistory();
    ASSERT_TRUE(content);
    EXPECT_EQ(content->window(), fixture.history());
    EXPECT_TRUE(content->isVisible());
    EXPECT_EQ(content->geometry(), fixture.history()->rect());
}

namespace {

// A content that counts what it is shown and drawn.
class CountingContent : public QWidget {
public:
    int shows = 0;
    int paints = 0;

protected:
    void showEvent(QShowEvent*) override { ++shows; }
    void paintEvent(QPaintEvent*) override { ++paints; }
};

} // namespace

// Prepared at start-up, the history window is built and drawn out of sight; its content first
// appears (and runs what it does on appearing) when the user first shows it, in that same window.
// A window that has shown, or the introduction still pending, is left alone.
TEST(WindowPresenter, AHistoryWindowPreparedAheadIsDrawnOutOfSightAndShownLater)
{
    Presenter fixture;
    QPointer<CountingContent> content;
    int built = 0;
    fixture.windows.setHistoryContent([&] {
        ++built;
        content = new CountingContent;
        return content.data();
    });
    fixture.windows.setFirstLaunchPending(true);
    fixture.windows.prepareHistory();
    EXPECT_EQ(fixture.history(), nullptr) << "nothing ahead of the introduction";
    fixture.windows.setFirstLaunchPending(false);

    fixture.windows.prepareHistory();
    ASSERT_NE(fixture.history(), nullptr);
    ASSERT_TRUE(content);
    EXPECT_FALSE(fixture.history()->isVisible());
    EXPECT_TRUE(fixture.windowManager.closeOnly.contains(fixture.history()->winId()));
    EXPECT_EQ(content->shows, 0);
    EXPECT_GT(content->paints, 0) << "drawn once out of sight";
    EXPECT_EQ(content->size(), fixture.history()->size()) << "laid out as it will show";
    const int drawnAhead = content->paints;
    fixture.windows.prepareHistory();
    EXPECT_GT(content->paints, drawnAhead) << "drawn again once more records are in";

    QWidget* prepared = fixture.history();
    fixture.windows.showHistory();
    EXPECT_EQ(fixture.history(), prepared);
    EXPECT_EQ(built, 1);
    EXPECT_TRUE(prepared->isVisible());
    EXPECT_EQ(content->shows, 1);

    fixture.windows.hideHistory();
    const int paints = content->paints;
    fixture.windows.prepareHistory();
    EXPECT_EQ(content->paints, paints) << "a window that has shown is not drawn out of sight";
    EXPECT_FALSE(prepared->isVisible());
}

// The window manager takes a while to frame and map a window it is asked to show; the window is
// painted meanwhile, before the expose that tells it it is on screen.
TEST(WindowPresenter, TheHistoryWindowPaintsWithoutWaitingForTheWindowManager)
{
    Presenter fixture;
    QPointer<CountingContent> content;
    fixture.windows.setHistoryContent([&] {
        content = new CountingContent;
        return content.data();
    });
    for (int showing = 0; showing < 2; ++showing) {
        fixture.windows.showHistory();
        ASSERT_TRUE(content);
        const int paints = content->paints;
        // Qt's own events only: no word from the window system yet.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents();
        EXPECT_GT(content->paints, paints) << "showing " << showing;
        fixture.windows.hideHistory();
        QTest::qWait(20);
    }
}

// A question or chooser is of one size: its frame offers a close button alone. A file dialog
// keeps the frame it has, and a sheet has none.
TEST(WindowPresenter, DialogsOfferAClosingButtonAlone)
{
    Presenter fixture;
    fixture.windows.showSettings();
    QMessageBox question(fixture.settings());
    question.setText(QStringLiteral("Delete 40 records?"));
    question.show();
    EXPECT_TRUE(fixture.windowManager.closeOnly.contains(question.winId()));
    QMessageBox message; // of no window: the update message
    message.show();
    EXPECT_TRUE(fixture.windowManager.closeOnly.contains(message.winId()));

    QFileDialog files(fixture.settings());
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.show();
    EXPECT_FALSE(fixture.windowManager.closeOnly.contains(files.winId()));
    QDialog sheet(fixture.settings(), Qt::Dialog | Qt::FramelessWindowHint);
    sheet.show();
    EXPECT_FALSE(fixture.windowManager.closeOnly.contains(sheet.winId()));
}

TEST(StatusItem, DrawsTheMascotInTheTraysInkAndRedrawsOnEveryChange)
{
    FakeTrayColors tray;
    FakeSystemAppearance appearance;
    FakeSystemTray systemTray;
    StatusItem item({}, tray, systemTray, appearance);
    item.install();
    // The opaque colours of the icon: its ink, any outline, and where they meet.
    const auto colours = [&] {
        QSet<QRgb> found;
        const QImage image = item.currentIcon().pixmap(32, 32).toImage();
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y).alpha() == 255)
                    found.insert(image.pixelColor(x, y).rgb() & 0xffffff);
            }
        }
        return found;
    };
    const QRgb text = QGuiApplication::palette().color(QPalette::WindowText).rgb() & 0xffffff;
    EXPECT_TRUE(colours().contains(text)) << "the palette at last";
    EXPECT_TRUE(colours().contains(qGray(text) < 128 ? 0xffffffu : 0u)) << "outlined: no tray says what is behind";
    appearance.setDark(true);
    EXPECT_TRUE(colours().contains(0xffffffu) && colours().contains(0u)) << "light on a dark desktop, outlined";
    tray.setForeground(0x336699);
    EXPECT_EQ(colours(), QSet<QRgb>{0x336699u}) << "the tray's own colour alone";
    tray.setForeground(std::nullopt);
    EXPECT_TRUE(colours().contains(0xffffffu) && colours().contains(0u));
}
