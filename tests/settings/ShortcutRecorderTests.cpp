// The shortcut recorder in the Quick Panel pane: key presses as xcb delivers them (X keycodes),
// what ends a recording, and that every end gives the keyboard back.
#include "SettingsHarness.h"
#include "ShortcutRecorder.h"
#include "StoredPreferences.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QShortcut>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

constexpr Qt::KeyboardModifiers ctrlAlt = Qt::ControlModifier | Qt::AltModifier;

struct RecorderFixture : SettingsHarness {
    RecorderFixture() : SettingsHarness(SettingsSection::quickPanel)
    {
        recorder = find<ShortcutRecorder>(QStringLiteral("shortcut-recorder"));
    }

    // A key press as xcb sends it: the X keycode as the native scan code.
    bool press(int key, Qt::KeyboardModifiers modifiers, quint32 xKeycode, bool autoRepeat = false)
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, xKeycode, 0, 0, QString(), autoRepeat);
        const bool handled = QApplication::sendEvent(recorder, &event);
        settle();
        return handled;
    }
    QString error() const
    {
        auto* caption = find<QLabel>(QStringLiteral("shortcut-error"));
        return caption && caption->isVisible() ? caption->text() : QString();
    }

    QPointer<ShortcutRecorder> recorder;
};

} // namespace

TEST(ShortcutRecorder, RecordsAPressAsItsKeyPositionAndRegistersIt)
{
    RecorderFixture fixture;
    ASSERT_TRUE(fixture.recorder);
    EXPECT_EQ(fixture.recorder->text(), QStringLiteral("Ctrl+Alt+V"));
    fixture.recorder->click();
    fixture.settle();
    EXPECT_TRUE(fixture.shortcut.recording());
    EXPECT_EQ(fixture.recorder->text(), QStringLiteral("Press a shortcut…"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(fixture.recorder)->text(QAccessible::Value),
              QStringLiteral("Press a shortcut…"));
    EXPECT_TRUE(fixture.recorder->holdsKeyboard());
    EXPECT_FALSE(fixture.find(QStringLiteral("shortcut-reset"))->isEnabled());

    fixture.press(Qt::Key_Control, Qt::ControlModifier, 37);
    fixture.press(Qt::Key_Alt, ctrlAlt, 64);
    EXPECT_TRUE(fixture.shortcut.recording()) << "modifier keys alone keep recording";
    fixture.press(Qt::Key_K, ctrlAlt, 45);
    EXPECT_FALSE(fixture.shortcut.recording());
    EXPECT_FALSE(fixture.recorder->holdsKeyboard());
    EXPECT_EQ(fixture.defaults.data(StoredPreferences::shortcut.key), QByteArray(R"({"keyCode":40,"modifiers":6144})"));
    EXPECT_EQ(fixture.recorder->text(), QStringLiteral("Ctrl+Alt+K"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(fixture.recorder)->text(QAccessible::Value),
              QStringLiteral("Ctrl+Alt+K"));
    EXPECT_EQ(fixture.hotKeys->registrations.values(), (QList<ShortcutBinding>{{40, 6144}}));
    EXPECT_TRUE(fixture.error().isEmpty());
    EXPECT_TRUE(fixture.find(QStringLiteral("shortcut-reset"))->isEnabled());

    // The keys of a PC keyboard that a Mac one lacks are keys like any other.
    for (const auto& [key, xKeycode, text] : {std::tuple(Qt::Key_Print, 107u, "Ctrl+Alt+Print"),
                                              std::tuple(Qt::Key_ScrollLock, 78u, "Ctrl+Alt+Scroll Lock"),
                                              std::tuple(Qt::Key_Pause, 127u, "Ctrl+Alt+Pause")}) {
        fixture.recorder->click();
        fixture.settle();
        fixture.press(key, ctrlAlt, xKeycode);
        EXPECT_EQ(fixture.recorder->text(), QString::fromUtf8(text));
        EXPECT_TRUE(fixture.error().isEmpty()) << fixture.error().toStdString();
    }

    fixture.click(QStringLiteral("shortcut-reset"));
    EXPECT_EQ(fixture.shortcut.binding(), ShortcutBinding::defaultBinding());
}

TEST(ShortcutRecorder, RefusedKeysEndTheRecordingWithTheReasonAndTheOldShortcutBack)
{
    RecorderFixture fixture;
    const QString invalid = QStringLiteral(
        "Use a key together with Ctrl, Alt or Super. Enter, Tab and Esc are not available.");
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        quint32 xKeycode;
    } refused[] = {{Qt::Key_K, Qt::ShiftModifier, 45},
                   {Qt::Key_K, Qt::NoModifier, 45},
                   {Qt::Key_Tab, Qt::ControlModifier, 23},
                   {Qt::Key_Return, Qt::ControlModifier, 36}};
    for (const auto& press : refused) {
        fixture.recorder->click();
        fixture.settle();
        EXPECT_TRUE(fixture.press(press.key, press.modifiers, press.xKeycode));
        EXPECT_FALSE(fixture.shortcut.recording());
        EXPECT_EQ(fixture.error(), invalid) << press.xKeycode;
        EXPECT_TRUE(fixture.recorder->hasFocus()) << "Tab is a key here, not a move of focus";
        EXPECT_EQ(fixture.shortcut.binding(), ShortcutBinding::defaultBinding());
        EXPECT_EQ(fixture.hotKeys->registrations.values(), QList<ShortcutBinding>{ShortcutBinding::defaultBinding()});
    }

    // Held by another program.
    fixture.hotKeys->taken.append({40, 6144});
    fixture.recorder->click();
    fixture.settle();
    EXPECT_TRUE(fixture.error().isEmpty()) << "a new recording clears the last reason";
    fixture.press(Qt::Key_K, ctrlAlt, 45);
    EXPECT_EQ(fixture.error(),
              QStringLiteral("This shortcut is taken by the system or another app. Choose a different one."));
    EXPECT_EQ(fixture.hotKeys->registrations.values(), QList<ShortcutBinding>{ShortcutBinding::defaultBinding()});
    EXPECT_FALSE(fixture.recorder->holdsKeyboard());
}

TEST(ShortcutRecorder, WindowShortcutsEscapeAndRepeatsAreTakenByTheRecording)
{
    RecorderFixture fixture;
    int quits = 0;
    auto* quit = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Q")), fixture.window);
    QObject::connect(quit, &QShortcut::activated, [&] { ++quits; });
    fixture.window->activateWindow();
    fixture.recorder->click();
    fixture.settle();
    QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_Q, Qt::ControlModifier, 24, 0, 0);
    QApplication::sendEvent(fixture.recorder, &override);
    EXPECT_TRUE(override.isAccepted()) << "the recorder, not the window's Ctrl+Q, gets the press";
    QTest::keyClick(fixture.recorder, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quits, 0);
    EXPECT_FALSE(fixture.shortcut.recording());

    fixture.recorder->click();
    fixture.settle();
    fixture.press(Qt::Key_K, ctrlAlt, 45, true);
    EXPECT_TRUE(fixture.shortcut.recording()) << "an auto-repeat is not a new press";
    fixture.press(Qt::Key_Escape, Qt::ShiftModifier, 9);
    EXPECT_FALSE(fixture.shortcut.recording());
    EXPECT_EQ(fixture.shortcut.binding(), ShortcutBinding::defaultBinding());
    EXPECT_TRUE(fixture.error().isEmpty());
    fixture.recorder->click();
    fixture.settle();
    fixture.press(Qt::Key_Escape, Qt::NoModifier, 0); // Escape of a platform without scan codes
    EXPECT_FALSE(fixture.shortcut.recording());
    EXPECT_EQ(fixture.recorder->text(), QStringLiteral("Ctrl+Alt+V"));
    EXPECT_EQ(quits, 0);
}

TEST(ShortcutRecorder, EveryOtherEndCancelsAndGivesTheKeyboardBack)
{
    RecorderFixture fixture;
    const auto start = [&] {
        fixture.recorder = fixture.find<ShortcutRecorder>(QStringLiteral("shortcut-recorder"));
        fixture.recorder->click();
        fixture.settle();
        EXPECT_TRUE(fixture.recorder->holdsKeyboard());
    };
    const auto expectCancelled = [&](const char* how) {
        EXPECT_FALSE(fixture.shortcut.recording()) << how;
        EXPECT_FALSE(fixture.recorder && fixture.recorder->holdsKeyboard()) << how;
        EXPECT_EQ(fixture.hotKeys->registrations.values(), QList<ShortcutBinding>{ShortcutBinding::defaultBinding()})
            << how;
    };

    start();
    // While recording, the recorder holds the pointer: a click anywhere else reaches it first,
    // ends the recording, and still does what it was meant to (here, open another section).
    QWidget* general = fixture.find(QStringLiteral("settings-section-general"));
    const QPointF at = general->mapToGlobal(QPointF(general->rect().center()));
    QMouseEvent press(QEvent::MouseButtonPress, fixture.recorder->mapFromGlobal(at), at, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(fixture.recorder, &press);
    QTest::mouseRelease(general, Qt::LeftButton, {}, general->rect().center());
    fixture.settle();
    expectCancelled("a click elsewhere");
    EXPECT_EQ(fixture.navigation.section(), SettingsSection::general) << "the click was not swallowed";
    fixture.open(SettingsSection::quickPanel);

    start();
    fixture.find(QStringLiteral("settings-sidebar"))->setFocus();
    fixture.settle();
    expectCancelled("focus left");

    start();
    fixture.open(SettingsSection::general);
    expectCancelled("another section");
    fixture.open(SettingsSection::quickPanel);

    start();
    fixture.window->close();
    fixture.settle();
    expectCancelled("window closed");
    fixture.window->show();
    fixture.settle();

    start();
    fixture.shortcut.finishRecording(std::nullopt); // the application went inactive
    fixture.settle();
    expectCancelled("ended by the application");

    start();
    delete fixture.recorder;
    fixture.recorder = nullptr;
    expectCancelled("destroyed");
}
