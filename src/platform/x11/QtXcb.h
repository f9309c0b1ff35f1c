#pragma once

#include <xcb/xcb.h>

namespace tavlin {

// Qt's own connection to the X server, for requests that must reach the server in order with the
// toolkit's (on its windows). Main thread.
struct QtXcb {
    // None on another platform or without an application object.
    static xcb_connection_t* connection();
    // XCB_ATOM_NONE when the server does not answer.
    static xcb_atom_t atom(xcb_connection_t* connection, const char* name);
};

} // namespace tavlin
