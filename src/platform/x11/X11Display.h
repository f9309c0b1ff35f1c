#pragma once

namespace tavlin {

// Whether the X server named by $DISPLAY can be reached, tried with a connection of our own
// before Qt's: Qt aborts the process when it cannot connect.
struct X11Display {
    enum class Problem { none, notSet, unreachable };
    static Problem check();
};

} // namespace tavlin
