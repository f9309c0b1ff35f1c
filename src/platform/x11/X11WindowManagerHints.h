#pragma once

#include "WindowManagerHints.h"

namespace tavlin {

// Window-manager hints on the X11 display, over Qt's own connection so that they reach the server
// in order with the toolkit's own requests. Does nothing on another platform.
class X11WindowManagerHints final : public WindowManagerHints {
public:
    void setStackedAbove(quintptr window, std::optional<quintptr> owner) override;
    void setCloseOnly(quintptr window) override;
    void minimise(quintptr window) override;
};

} // namespace tavlin
