// The X11 hot-key backend against a real X server (a private Xvfb): grabs, presses sent with
// xdotool, combinations held by other clients, and the release of every grab.
#include "GlobalShortcut.h"
#include "InMemoryDefaults.h"
#include "LogCapture.h"
#include "ShortcutBinding.h"
#include "X11HotKeyBackend.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <QWindow>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

using tavlin::GlobalShortcut;
using tavlin::ShortcutBinding;
using tavlin::ShortcutError;
using tavlin::X11HotKeyBackend;

namespace {

const ShortcutBinding ctrlAltK{40, ShortcutBinding::controlKey | ShortcutBinding::optionKey};
const ShortcutBinding ctrlAltJ{38, ShortcutBinding::controlKey | ShortcutBinding::optionKey};
const ShortcutBinding superShiftF5{96, ShortcutBinding::commandKey | ShortcutBinding::shiftKey};
constexpr quint16 ctrlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
constexpr quint16 numLock = XCB_MOD_MASK_2; // Xvfb's default modifier mapping

quint32 keycodeOf(const ShortcutBinding& binding)
{
    return X11HotKeyBackend::xKeycode(binding.keyCode).value();
}

// Another X client on a connection of its own, as a window manager or another program would be.
class OtherClient {
public:
    OtherClient()
        : connection_(xcb_connect(nullptr, nullptr)),
          root_(xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root)
    {
    }
    ~OtherClient() { xcb_disconnect(connection_); }

    // 0 when the grab is made, else the X error code (10 is BadAccess: someone holds it).
    int grab(quint32 keycode, quint16 modifiers)
    {
        const xcb_void_cookie_t cookie = xcb_grab_key_checked(connection_, false, root_, modifiers, quint8(keycode),
                                                              XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        xcb_generic_error_t* error = xcb_request_check(connection_, cookie);
        const int code = error ? error->error_code : 0;
        std::free(error);
        return code;
    }

    void ungrab(quint32 keycode, quint16 modifiers)
    {
        xcb_ungrab_key(connection_, quint8(keycode), root_, modifiers);
        std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

private:
    xcb_connection_t* connection_;
    xcb_window_t root_;
};

constexpr int badAccess = 10;

void run(const QString& program, const QStringList& arguments)
{
    ASSERT_EQ(QProcess::execute(program, arguments), 0)
        << program.toStdString() << " " << arguments.join(' ').toStdString();
}

void xdotool(const QStringList& arguments)
{
    run(QStringLiteral("xdotool"), arguments);
}

ShortcutError::Kind refusal(X11HotKeyBackend& backend, const ShortcutBinding& binding)
{
    try {
        backend.registerHotKey(binding);
    } catch (const ShortcutError& error) {
        return error.kind();
    }
    ADD_FAILURE() << "registered " << binding.keyCode << "/" << binding.modifiers;
    return ShortcutError::Kind::system;
}

class X11HotKeyBackendTest : public ::testing::Test {
protected:
    X11HotKeyBackendTest()
    {
        QObject::connect(backend.get(), &X11HotKeyBackend::pressed, [this] { ++presses; });
    }

    // Lets the presses sent so far arrive; true when `count` have.
    bool pressesReach(int count)
    {
        return QTest::qWaitFor([&] { return presses >= count; }, 5000) && presses == count;
    }
    // Gives presses that should not arrive the time to do so anyway.
    void settle() { QTest::qWait(300); }

    std::unique_ptr<X11HotKeyBackend> backend = std::make_unique<X11HotKeyBackend>();
    int presses = 0;
};

TEST_F(X11HotKeyBackendTest, PressReachesTheActionWhateverTheLockKeys)
{
    EXPECT_EQ(backend->registerHotKey(ctrlAltK), 1u);
    backend->registerHotKey(superShiftF5);
    xdotool({"key", "ctrl+alt+k"});
    EXPECT_TRUE(pressesReach(1));
    xdotool({"key", "super+shift+F5"});
    EXPECT_TRUE(pressesReach(2));

    // Other modifiers, or the key alone, are not the combination.
    xdotool({"key", "alt+k", "ctrl+shift+alt+k", "k"});
    settle();
    EXPECT_EQ(presses, 2);

    xdotool({"key", "Num_Lock", "ctrl+alt+k"});
    EXPECT_TRUE(pressesReach(3));
    xdotool({"key", "Caps_Lock", "ctrl+alt+k"});
    EXPECT_TRUE(pressesReach(4));
    xdotool({"key", "Num_Lock", "ctrl+alt+k", "Caps_Lock"});
    EXPECT_TRUE(pressesReach(5));
}

TEST_F(X11HotKeyBackendTest, HeldHotKeyFiresOnce)
{
    backend->registerHotKey(ctrlAltK);
    // Xvfb repeats a held key like any server.
    xdotool({"keydown", "ctrl+alt+k", "sleep", "1", "keyup", "k", "keyup", "ctrl+alt"});
    settle();
    EXPECT_EQ(presses, 1);
    xdotool({"key", "ctrl+alt+k"});
    EXPECT_TRUE(pressesReach(2));
}

// X reports the grab that delivers a hot key as the keyboard leaving the focused window, for as
// long as the key is held. Were that taken for the application going inactive, a press made in
// one of its own windows while it was busy would hide that window and cancel what the press
// opens. Here the receiver keeps the main thread busy past Qt's grace for a focus coming back.
TEST_F(X11HotKeyBackendTest, HoldingAHotKeyLeavesTheApplicationActive)
{
    QWindow window;
    window.resize(200, 100);
    window.show();
    window.requestActivate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    backend->registerHotKey(ctrlAltK);
    QList<Qt::ApplicationState> states;
    QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged,
                     [&](Qt::ApplicationState state) { states.append(state); });
    QObject::connect(backend.get(), &X11HotKeyBackend::pressed, [] { QThread::msleep(400); });

    QProcess hold;
    hold.start(QStringLiteral("xdotool"), {"keydown", "ctrl+alt+k", "sleep", "0.8", "keyup", "k", "keyup", "ctrl+alt"});
    EXPECT_TRUE(pressesReach(1));
    ASSERT_TRUE(hold.waitForFinished(10000));
    settle();
    EXPECT_EQ(states, QList<Qt::ApplicationState>());
    EXPECT_TRUE(window.isActive());
}

TEST_F(X11HotKeyBackendTest, CombinationHeldByAnotherClientIsAConflict)
{
    OtherClient other;
    ASSERT_EQ(other.grab(keycodeOf(ctrlAltJ), ctrlAlt | numLock), 0); // one lock variant is enough
    EXPECT_EQ(refusal(*backend, ctrlAltJ), ShortcutError::Kind::conflict);
    // Nothing of ours is left behind: every other variant is free.
    EXPECT_EQ(other.grab(keycodeOf(ctrlAltJ), ctrlAlt), 0);
    EXPECT_EQ(other.grab(keycodeOf(ctrlAltJ), ctrlAlt | XCB_MOD_MASK_LOCK), 0);
    EXPECT_EQ(other.grab(keycodeOf(ctrlAltJ), ctrlAlt | XCB_MOD_MASK_LOCK | numLock), 0);
}

TEST_F(X11HotKeyBackendTest, UnregisterReleasesExactlyItsOwnGrabs)
{
    const quint32 k = backend->registerHotKey(ctrlAltK);
    backend->registerHotKey(ctrlAltJ);
    backend->unregister(12345);
    backend->unregister(k);
    backend->unregister(k);

    OtherClient other;
    EXPECT_EQ(other.grab(keycodeOf(ctrlAltK), ctrlAlt | numLock), 0);
    EXPECT_EQ(other.grab(keycodeOf(ctrlAltJ), ctrlAlt | numLock | XCB_MOD_MASK_LOCK), badAccess);
    other.ungrab(keycodeOf(ctrlAltK), ctrlAlt | numLock);
    xdotool({"key", "ctrl+alt+k", "ctrl+alt+j"});
    EXPECT_TRUE(pressesReach(1));
    settle();
    EXPECT_EQ(presses, 1);
}

TEST_F(X11HotKeyBackendTest, DestroyedBackendLeavesTheCombinationFree)
{
    backend->registerHotKey(ctrlAltK);
    backend->registerHotKey(superShiftF5);
    backend.reset();
    OtherClient other;
    EXPECT_EQ(other.grab(keycodeOf(ctrlAltK), ctrlAlt | numLock), 0);
    EXPECT_EQ(other.grab(keycodeOf(superShiftF5), XCB_MOD_MASK_4 | XCB_MOD_MASK_SHIFT), 0);
}

TEST_F(X11HotKeyBackendTest, ActionMayDestroyTheBackend)
{
    backend->registerHotKey(ctrlAltK);
    QObject::disconnect(backend.get(), nullptr, nullptr, nullptr);
    QObject::connect(backend.get(), &X11HotKeyBackend::pressed, [this] {
        ++presses;
        backend.reset();
    });
    xdotool({"key", "ctrl+alt+k", "ctrl+alt+k"});
    EXPECT_TRUE(pressesReach(1));
    settle();
    EXPECT_EQ(presses, 1);
}

TEST(X11HotKeyBackend, DefaultTakenByAnotherProgramIsReported)
{
    OtherClient other;
    ASSERT_EQ(other.grab(keycodeOf(ShortcutBinding::defaultBinding()), ctrlAlt), 0);

    tavlin::test::InMemoryDefaults defaults;
    GlobalShortcut shortcut(defaults, std::make_unique<X11HotKeyBackend>());
    int presses = 0;
    QObject::connect(&shortcut, &GlobalShortcut::pressed, [&] { ++presses; });
    {
        tavlin::test::LogCapture log;
        shortcut.start();
        EXPECT_TRUE(log.errors().value(0).contains(QStringLiteral(": xcb_grab_key: BadAccess for X11 key ")))
            << "what was refused";
    }
    EXPECT_EQ(shortcut.errorMessage(), ShortcutError::conflict().localizedDescription());
    EXPECT_EQ(shortcut.binding(), ShortcutBinding::defaultBinding());

    shortcut.replace(ctrlAltK);
    EXPECT_EQ(shortcut.errorMessage(), std::nullopt);
    xdotool({"key", "ctrl+alt+k"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return presses == 1; }, 10000));

    // While recording, the combination reaches applications as an ordinary key.
    shortcut.beginRecording();
    EXPECT_EQ(other.grab(keycodeOf(ctrlAltK), ctrlAlt), 0);
    other.ungrab(keycodeOf(ctrlAltK), ctrlAlt);
    shortcut.finishRecording(std::nullopt);
    EXPECT_EQ(other.grab(keycodeOf(ctrlAltK), ctrlAlt), badAccess);
}

// Key titles follow the keyboard layout: the active one when it is Latin, else the first Latin
// one, else the US character.
TEST(X11HotKeyBackend, KeyTitlesFollowTheLatinLayout)
{
    const X11HotKeyBackend keyboard;
    const auto title = [&](quint32 keyCode) { return keyboard.keyTitle({keyCode, ShortcutBinding::optionKey}); };
    const auto layout = [](const QString& layouts) { run(QStringLiteral("setxkbmap"), {"-layout", layouts}); };

    layout("us");
    EXPECT_EQ(title(0), "A");
    EXPECT_EQ(title(41), ";");
    EXPECT_EQ(title(117), "Key 117");
    layout("fr");
    EXPECT_EQ(title(0), "Q");
    EXPECT_EQ(title(12), "A");
    layout("de");
    EXPECT_EQ(title(6), "Y");
    EXPECT_EQ(title(41), "Ö");
    layout("ru,de"); // Russian active: the German layout names the keys
    EXPECT_EQ(title(6), "Y");
    EXPECT_EQ(title(41), "Ö");
    layout("ru");
    EXPECT_EQ(title(0), "A");
    EXPECT_EQ(title(41), ";");
    EXPECT_EQ(title(49), "Space");
    EXPECT_EQ(title(122), "F1");
    layout("us");
}

} // namespace
