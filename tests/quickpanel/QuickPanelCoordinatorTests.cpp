// The Quick Panel as the user meets it, offscreen on a fake desktop: showing and hiding, focus
// handed back by reason, keys, copies, screen changes, shutdown, and its look.
#include "QuickPanel.h"
#include "QuickPanelFixture.h"
#include "QuickPanelList.h"
#include "QuickPanelMotion.h"
#include "QuickPanelView.h"
#include "QuickSearchField.h"
#include "ThemeAppearance.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QInputMethodEvent>
#include <QLabel>
#include <QScreen>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;
using Reason = QuickPanelCoordinator::HideReason;

namespace {

void press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyClick(target, key, modifiers);
}

} // namespace

TEST(QuickPanelCoordinator, OpensWithItsPartsAndTheSearchFieldFocused)
{
    PanelFixture fixture({QStringLiteral("alpha"), QStringLiteral("beta")});
    fixture.open(2);
    QuickPanel* panel = fixture.coordinator->panel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(fixture.coordinator->isPresented());
    EXPECT_EQ(panel->objectName(), QStringLiteral("quick-panel"));
    EXPECT_EQ(panel->windowTitle(), QStringLiteral("Tavlin Quick Panel"));
    EXPECT_EQ(panel->geometry(), QRect(190, 0, 420, 310)) << "under the top of the offscreen 800×600 screen";
    EXPECT_TRUE(panel->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(panel->ignoresMouseEvents()) << "clicks reach it once it has opened";
    for (const char* name : {"quick-panel-content", "quick-panel-list", "quick-panel-error"})
        EXPECT_NE(fixture.find(name), nullptr) << name;
    auto* field = fixture.find<QuickSearchField>("quick-panel-search");
    ASSERT_NE(field, nullptr);
    EXPECT_TRUE(field->hasFocus());
    EXPECT_FALSE(fixture.find("quick-panel-error")->isVisible());
    // Over a window as white as itself, the light panel still shows where it ends.
    QImage shown(panel->size(), QImage::Format_ARGB32);
    shown.fill(Qt::white);
    panel->render(&shown);
    int edge = 255;
    for (int x = 0; x < 3; ++x)
        edge = std::min(edge, qGray(shown.pixel(x, shown.height() / 2)));
    EXPECT_LT(edge, qGray(shown.pixel(8, shown.height() / 2)) - 20);

    // The star and the history button never take the keyboard; Tab stays in the field.
    EXPECT_EQ(fixture.find("quick-panel-favorites")->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(fixture.find("quick-panel-history")->focusPolicy(), Qt::NoFocus);
    press(field, Qt::Key_Tab);
    EXPECT_TRUE(field->hasFocus());

    // The star reads its name and state to assistive technology.
    auto* star = fixture.find<QAbstractButton>("quick-panel-favorites");
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(star);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Favorites Only"));
    EXPECT_EQ(accessible->text(QAccessible::Value), QStringLiteral("Disabled"));
    star->click();
    EXPECT_EQ(accessible->text(QAccessible::Value), QStringLiteral("Enabled"));
    EXPECT_TRUE(fixture.state().favoritesOnly());
    EXPECT_TRUE(field->hasFocus());
}

TEST(QuickPanelCoordinator, GivesTheKeyboardBackOnlyForCancelCopyAndShortcut)
{
    PanelFixture fixture({QStringLiteral("alpha")});
    int failures = 0;
    int external = 0;
    int histories = 0;
    QObject::connect(fixture.coordinator.get(), &QuickPanelCoordinator::willRestoreExternal, [&] { ++external; });
    QObject::connect(fixture.coordinator.get(), &QuickPanelCoordinator::externalRestoreFailed, [&] { ++failures; });
    QObject::connect(fixture.coordinator.get(), &QuickPanelCoordinator::historyRequested, [&] { ++histories; });
    const auto restoresFor = [&](Reason reason) {
        fixture.open(1);
        const int before = fixture.restores();
        fixture.coordinator->hide(reason);
        EXPECT_FALSE(fixture.coordinator->isPresented());
        EXPECT_TRUE(waitFor([&] { return !fixture.coordinator->isBusy(); }));
        EXPECT_FALSE(fixture.coordinator->panel()->isVisible());
        return fixture.restores() - before;
    };
    EXPECT_EQ(restoresFor(Reason::cancel), 1);
    EXPECT_EQ(restoresFor(Reason::copied), 1);
    EXPECT_EQ(restoresFor(Reason::shortcut), 1);
    EXPECT_EQ(restoresFor(Reason::deactivated), 0);
    EXPECT_EQ(restoresFor(Reason::history), 0);
    EXPECT_EQ(external, 3);
    EXPECT_EQ(failures, 0);
    EXPECT_TRUE(fixture.focus.activated.contains(quint64(fixture.coordinator->panel()->winId())))
        << "shown again without the keyboard, the panel asks the desktop for it";
    fixture.focus.activationWorks = false;
    EXPECT_EQ(restoresFor(Reason::cancel), 1);
    EXPECT_EQ(failures, 1);

    // Keys: Escape cancels, Ctrl+Return opens the history window.
    fixture.focus.activationWorks = true;
    fixture.open(1);
    auto* field = fixture.find<QuickSearchField>("quick-panel-search");
    const int restores = fixture.restores();
    press(field, Qt::Key_Escape);
    EXPECT_FALSE(fixture.coordinator->isPresented());
    EXPECT_EQ(fixture.restores(), restores + 1);
    fixture.open(1);
    press(field, Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(fixture.coordinator->isPresented()) << "Ctrl+Shift+Return is nothing";
    press(field, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_FALSE(fixture.coordinator->isPresented());
    EXPECT_EQ(histories, 1);
    EXPECT_EQ(fixture.restores(), restores + 1) << "the history window keeps the keyboard";

    // While an input method composes, every key is the composition's.
    fixture.open(1);
    QInputMethodEvent preedit(QStringLiteral("ka"), {});
    QApplication::sendEvent(field, &preedit);
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_Escape, Qt::KeyboardModifiers()},
                                         {Qt::Key_Return, Qt::ControlModifier},
                                         {Qt::Key_Return, Qt::KeyboardModifiers()},
                                         {Qt::Key_Down, Qt::KeyboardModifiers()}})
        press(field, key, modifiers);
    EXPECT_TRUE(fixture.coordinator->isPresented());
    fixture.state().setQuery(QStringLiteral("x"));
    EXPECT_EQ(field->text(), QString()) << "the state never overwrites a composition";
    EXPECT_EQ(histories, 1);
}

TEST(QuickPanelCoordinator, QuickTogglesAndReopeningKeepTheStateOfTheFirstShowing)
{
    PanelFixture fixture({QStringLiteral("alpha")});
    // Pressed twice quickly: hidden while still opening, and it stays closed to the mouse.
    fixture.coordinator->show();
    fixture.coordinator->hide(Reason::shortcut);
    fixture.coordinator->show();
    fixture.coordinator->hide(Reason::shortcut);
    ASSERT_TRUE(waitFor([&] { return !fixture.coordinator->isBusy(); }));
    EXPECT_TRUE(fixture.coordinator->panel()->ignoresMouseEvents());
    EXPECT_FALSE(fixture.coordinator->panel()->isVisible());

    // Reopened while closing with the keyboard still on the panel: the first focus stays.
    fixture.open(1);
    fixture.coordinator->hide(Reason::deactivated);
    fixture.focus.active = quint64(fixture.coordinator->panel()->winId());
    fixture.coordinator->show();
    EXPECT_TRUE(fixture.coordinator->panel()->isVisible()) << "the closing did not order it out";
    ASSERT_TRUE(waitFor([&] { return !fixture.coordinator->isBusy(); }));
    EXPECT_TRUE(fixture.coordinator->panel()->isVisible());
    fixture.settleKeyboard();
    int external = 0;
    QObject::connect(fixture.coordinator.get(), &QuickPanelCoordinator::willRestoreExternal, [&] { ++external; });
    fixture.coordinator->hide(Reason::cancel);
    EXPECT_EQ(external, 1) << "focus goes back to the application of the first opening";
}

TEST(QuickPanelCoordinator, CopiesOnceClosesOnSuccessAndStaysOpenOnFailure)
{
    PanelFixture fixture({QStringLiteral("alpha"), QStringLiteral("beta")});
    fixture.open(2);
    auto* field = fixture.find<QuickSearchField>("quick-panel-search");
    QTest::keyClicks(field, QStringLiteral("alp"));
    ASSERT_TRUE(waitFor([&] { return fixture.state().clips().size() == 1; }));
    EXPECT_EQ(fixture.state().query(), QStringLiteral("alp"));
    press(field, Qt::Key_Return);
    press(field, Qt::Key_Return); // a second Return while the first copy runs does nothing
    ASSERT_TRUE(waitFor([&] { return !fixture.coordinator->isPresented(); }));
    EXPECT_EQ(fixture.pasteboard.string(QStringLiteral("public.utf8-plain-text")), QStringLiteral("alpha"));
    EXPECT_EQ(fixture.pasteboard.writeCount(), 1);

    // A record deleted behind the panel's back: the message shows, the panel stays.
    fixture.open(2);
    const Clip beta = fixture.state().clips().first();
    executeSQL(fixture.folder.databasePath(), QStringLiteral("DELETE FROM clips WHERE id = %1").arg(beta.id));
    fixture.coordinator->copy(beta);
    auto* error = fixture.find<QLabel>("quick-panel-error");
    ASSERT_TRUE(waitFor([&] { return error->isVisible(); }));
    EXPECT_FALSE(error->text().isEmpty());
    EXPECT_TRUE(fixture.coordinator->isPresented());
    EXPECT_FALSE(fixture.coordinator->isBusy()) << "the user can try again";
}

TEST(QuickPanelCoordinator, ClosesOnOutsidePressesAndScreenChangesAndNothingActsAfterShutdown)
{
    PanelFixture fixture({QStringLiteral("alpha")});
    fixture.open(1);
    ASSERT_TRUE(fixture.presses.watching);
    fixture.presses.press(); // a press on another application's window
    EXPECT_FALSE(fixture.coordinator->isPresented());
    EXPECT_FALSE(fixture.presses.watching) << "presses are watched only while shown";

    QWidget other;
    other.resize(200, 100);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    fixture.open(1);
    QTest::mouseClick(&other, Qt::LeftButton);
    EXPECT_FALSE(fixture.coordinator->isPresented()) << "a press in another window of ours";
    fixture.open(1);
    QTest::mouseClick(fixture.find("quick-panel-list"), Qt::LeftButton, {}, QPoint(10, 190));
    EXPECT_TRUE(fixture.coordinator->isPresented()) << "a press inside is ordinary";

    Q_EMIT QGuiApplication::primaryScreen()->availableGeometryChanged(QRect(0, 0, 800, 600));
    EXPECT_FALSE(fixture.coordinator->isPresented());

    // Shut down while shown: gone at once, no focus handed back, no late work.
    fixture.open(1);
    const int restores = fixture.restores();
    fixture.coordinator->show();
    QPointer<QuickPanel> panel = fixture.coordinator->panel();
    fixture.coordinator->shutdown();
    EXPECT_FALSE(fixture.coordinator->isPresented());
    EXPECT_TRUE(panel.isNull());
    fixture.coordinator->show();
    fixture.coordinator->hide(Reason::cancel);
    QTest::qWait(400);
    EXPECT_EQ(fixture.restores(), restores);
    EXPECT_FALSE(fixture.coordinator->isPresented());
}

TEST(QuickPanelView, SaysWhyTheListIsEmpty)
{
    EXPECT_EQ(QuickPanelView::emptyText(QString(), false), QStringLiteral("History is empty"));
    EXPECT_EQ(QuickPanelView::emptyText(QString(), true), QStringLiteral("No favorites yet"));
    EXPECT_EQ(QuickPanelView::emptyText(QStringLiteral(" "), true), QStringLiteral("Nothing found"));

    PanelFixture empty;
    empty.open(0);
    auto* field = empty.find<QuickSearchField>("quick-panel-search");
    press(field, Qt::Key_Down);
    press(field, Qt::Key_Return);
    EXPECT_TRUE(empty.coordinator->isPresented()) << "arrows and Return do nothing on an empty list";
}
