// Publishes a foreground colour on the running system tray, as trays that state one do: the
// _NET_SYSTEM_TRAY_COLORS property of the tray selection's owner. Argument: the colour as RRGGBB.
// Exits 1 when no tray runs.
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const std::string& name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, name.size(), name.c_str()), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const unsigned long rgb = std::stoul(argv[1], nullptr, 16);
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(connection))
        return 1;
    const xcb_atom_t selection = atom(connection, "_NET_SYSTEM_TRAY_S" + std::to_string(screen));
    xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, selection), nullptr);
    const xcb_window_t owner = reply ? reply->owner : xcb_window_t(XCB_NONE);
    std::free(reply);
    if (owner == XCB_NONE)
        return 1;
    // Normal, error, warning and success colours alike; 16 bits a channel.
    uint32_t colors[12];
    for (int i = 0; i < 12; ++i)
        colors[i] = ((rgb >> (16 - 8 * (i % 3))) & 0xff) * 257;
    // Checked, so that the change has reached the server before this client goes.
    xcb_generic_error_t* error = xcb_request_check(
        connection,
        xcb_change_property_checked(connection, XCB_PROP_MODE_REPLACE, owner,
                                    atom(connection, "_NET_SYSTEM_TRAY_COLORS"), XCB_ATOM_CARDINAL, 32, 12, colors));
    const bool failed = error != nullptr;
    std::free(error);
    xcb_disconnect(connection);
    return failed ? 1 : 0;
}
