#pragma once

#include "WindowFocus.h"
#include "XcbConnection.h"

namespace tavlin {

// The keyboard focus on X11: the window manager's active window (_NET_ACTIVE_WINDOW), or the
// input focus where no window manager runs. Activation asks the window manager as a pager would
// (source 2), or sets the input focus itself without one.
class X11WindowFocus : public WindowFocus {
public:
    X11WindowFocus() = default;

    std::optional<quint64> activeWindow() override;
    bool activate(quint64 window, quint32 timestamp) override;
    bool compositing() override;
    void passClicks(quint64 window, bool through) override;

private:
    // The window manager's own window, when one that follows the EWMH runs.
    bool hasWindowManager();

    XcbConnection connection_;
};

} // namespace tavlin
