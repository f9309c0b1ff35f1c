#pragma once

#include <QtGlobal>

#include <optional>

namespace tavlin {

// The desktop's keyboard focus between the windows of all applications, and the desktop's
// compositing, as a panel that borrows the keyboard needs them. Main thread.
class WindowFocus {
public:
    virtual ~WindowFocus() = default;

    // The window that has the keyboard now, by its native id; none when no window has it.
    virtual std::optional<quint64> activeWindow() = 0;
    // Gives the keyboard to that window, as of the user's action at `timestamp` (the display
    // server's time; 0 for now). False when the window is gone or not on screen.
    virtual bool activate(quint64 window, quint32 timestamp) = 0;
    // Whether a compositor blends translucent windows.
    virtual bool compositing() = 0;
    // Lets mouse presses through one of our windows to the windows beneath it (the keyboard
    // still reaches it), or stops doing so.
    virtual void passClicks(quint64 window, bool through) = 0;
};

} // namespace tavlin
