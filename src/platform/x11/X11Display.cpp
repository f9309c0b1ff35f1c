#include "X11Display.h"

#include <QtGlobal>

#include <xcb/xcb.h>

namespace tavlin {

X11Display::Problem X11Display::check()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return Problem::notSet;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool failed = xcb_connection_has_error(connection) != 0;
    xcb_disconnect(connection); // also for a failed connection
    return failed ? Problem::unreachable : Problem::none;
}

} // namespace tavlin
