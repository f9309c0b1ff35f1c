#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

namespace tavlin {

class WindowFocus;

// The keyboard focus to give back when the Quick Panel closes: one of our own windows
// (internal) or another application's window (external).
struct QuickPanelFocus {
    // Ours, for an internal focus; none for an external one.
    QPointer<QWidget> ownWindow;
    bool external = false;
    // Gives the focus back; whether it worked.
    std::function<bool()> restore = [] { return false; };

    static QuickPanelFocus internal(QWidget* window);
    // Whoever has the keyboard now, as the desktop tells.
    static QuickPanelFocus capture(WindowFocus& focus);
    // The display server's time of the user's latest key or button press in our windows: focus
    // handed over is handed over as of that moment, so that window managers take it as the
    // user's own act.
    static quint32 lastInputTime();
};

} // namespace tavlin
