#pragma once

#include "DesktopPresses.h"
#include "XcbConnection.h"

#include <memory>

class QSocketNotifier;

namespace tavlin {

// Mouse presses anywhere on the X11 desktop, as XInput 2 raw events on the root window, read on
// a connection of our own (raw events reach every client that asks, whichever window the press
// goes to).
class X11DesktopPresses : public DesktopPresses {
public:
    X11DesktopPresses();
    ~X11DesktopPresses() override;

    bool start() override;
    void stop() override;

private:
    void select(bool raw);
    void read();

    XcbConnection connection_;
    quint8 extension_ = 0;
    bool available_ = false;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool watching_ = false;
};

} // namespace tavlin
