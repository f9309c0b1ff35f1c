#include "X11WindowManagerHints.h"

#include "QtXcb.h"

#include <array>
#include <cstdlib>

namespace tavlin {

void X11WindowManagerHints::setStackedAbove(quintptr window, std::optional<quintptr> owner)
{
    xcb_connection_t* x = QtXcb::connection();
    if (!x || !window)
        return;
    // A transient stays above its owner and rises into the owner's layer; window managers follow a
    // change of it on a mapped window.
    if (owner) {
        const auto ownerID = xcb_window_t(*owner);
        xcb_change_property(x, XCB_PROP_MODE_REPLACE, xcb_window_t(window), XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW,
                            32, 1, &ownerID);
    } else {
        xcb_delete_property(x, xcb_window_t(window), XCB_ATOM_WM_TRANSIENT_FOR);
    }
    xcb_flush(x);
}

void X11WindowManagerHints::setCloseOnly(quintptr window)
{
    xcb_connection_t* x = QtXcb::connection();
    if (!x || !window)
        return;
    const auto id = xcb_window_t(window);
    // Motif hints: move and close, a title and a border. Some window managers (openbox) ignore
    // the functions and take minimise away only from toolbars, so the window names itself one
    // first, then the utility window it is to the others.
    constexpr uint32_t functionsAndDecorations = 0x3, moveAndClose = 0x4 | 0x20, borderTitleMenu = 0x2 | 0x8 | 0x10;
    const std::array<uint32_t, 5> motif{functionsAndDecorations, moveAndClose, borderTitleMenu, 0, 0};
    const xcb_atom_t motifAtom = QtXcb::atom(x, "_MOTIF_WM_HINTS");
    xcb_change_property(x, XCB_PROP_MODE_REPLACE, id, motifAtom, motifAtom, 32, motif.size(), motif.data());
    const std::array<xcb_atom_t, 2> types{QtXcb::atom(x, "_NET_WM_WINDOW_TYPE_TOOLBAR"),
                                          QtXcb::atom(x, "_NET_WM_WINDOW_TYPE_UTILITY")};
    xcb_change_property(x, XCB_PROP_MODE_REPLACE, id, QtXcb::atom(x, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32,
                        types.size(), types.data());
    xcb_flush(x);
}

void X11WindowManagerHints::minimise(quintptr window)
{
    xcb_connection_t* x = QtXcb::connection();
    if (!x || !window)
        return;
    // The ICCCM request to the window manager. Qt's own minimising also marks the window to be
    // mapped minimised, and keeps that mark after the window manager has restored it, so that a
    // window closed since shows minimised the next time.
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(x, xcb_get_geometry(x, xcb_window_t(window)), nullptr);
    if (!geometry)
        return;
    const xcb_window_t root = geometry->root;
    std::free(geometry);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = xcb_window_t(window);
    message.type = QtXcb::atom(x, "WM_CHANGE_STATE");
    message.data.data32[0] = 3; // IconicState
    xcb_send_event(x, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(x);
}

} // namespace tavlin
