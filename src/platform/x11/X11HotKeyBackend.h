#pragma once

#include "HotKeyBackend.h"

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QString>

#include <map>
#include <optional>

namespace tavlin {

// Global hot keys on X11: passive key grabs on the root windows, made over Qt's own connection so
// that the presses arrive through Qt's event stream (a native event filter, the "handler"). A
// combination is grabbed once for each state of Caps Lock and Num Lock, since X matches modifier
// states exactly; when any of those grabs is refused as taken (BadAccess), the others are undone
// and the combination is reported as a conflict. X has no list of the desktop's own shortcuts: a
// window manager holds its keys by grabbing them, so the grab's answer is the whole check.
// Main thread; needs the xcb platform (anything else refuses every registration).
class X11HotKeyBackend final : public HotKeyBackend, private QAbstractNativeEventFilter {
public:
    X11HotKeyBackend();
    ~X11HotKeyBackend() override;
    X11HotKeyBackend(const X11HotKeyBackend&) = delete;
    X11HotKeyBackend& operator=(const X11HotKeyBackend&) = delete;

    // Identifiers only grow, starting at 1. An attempt that reaches the X server consumes one even
    // when it is refused there; one refused before (invalid, no display) consumes none.
    quint32 registerHotKey(const ShortcutBinding& binding) override;
    void unregister(quint32 id) override;
    void shutdown() override;

    // How many times the event filter has been installed: once for the first registration, again
    // only after a shutdown().
    int handlerInstallCount() const { return handlerInstallCount_; }

    // The native key code is the X keycode (evdev code + 8).
    std::optional<quint32> keyCode(quint32 xKeycode) const override;
    // The uppercased character of the key in the active keyboard layout when it is a Latin one,
    // else in the first Latin layout of the keymap, else on a US keyboard; nothing for a key
    // without a character (Home, Delete, a dead key with no US fallback...).
    std::optional<QString> keyName(quint32 keyCode) const override;

    // The X keycode at the position of a stored key code.
    static std::optional<quint32> xKeycode(quint32 keyCode);

private:
    struct Grab {
        quint32 root;
        quint16 modifiers;
    };
    struct Registration {
        quint8 keycode;
        // Without the lock variants; those are in `grabs`.
        quint16 modifiers;
        QList<Grab> grabs;
    };

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    // The grabs of one combination, all or none.
    QList<Grab> grab(quint8 keycode, quint16 modifiers);
    void ungrab(const QList<Grab>& grabs, quint8 keycode);

    bool handlerInstalled_ = false;
    int handlerInstallCount_ = 0;
    quint32 nextID_ = 0;
    std::map<quint32, Registration> registrations_;
    // Auto-repeat: a held hot key fires once. With detectable auto-repeat the server repeats
    // presses only; without it, each repeat is a release and a press with the same timestamp.
    std::optional<quint8> heldKeycode_;
    quint8 releasedKeycode_ = 0;
    quint32 releaseTime_ = 0;
};

} // namespace tavlin
