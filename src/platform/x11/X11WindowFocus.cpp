#include "X11WindowFocus.h"

#include <xcb/shape.h>

#include <cstdlib>

namespace tavlin {

bool X11WindowFocus::hasWindowManager()
{
    if (!connection_.isValid())
        return false;
    const xcb_atom_t check = connection_.atom("_NET_SUPPORTING_WM_CHECK");
    const std::optional<quint32> window = connection_.cardinalProperty(connection_.root(), check, XCB_ATOM_WINDOW);
    // The check window names itself; a stale property of a window manager that has gone does not.
    return window && *window != XCB_NONE && connection_.cardinalProperty(*window, check, XCB_ATOM_WINDOW) == window;
}

std::optional<quint64> X11WindowFocus::activeWindow()
{
    if (!connection_.isValid())
        return std::nullopt;
    if (hasWindowManager()) {
        const std::optional<quint32> active = connection_.cardinalProperty(
            connection_.root(), connection_.atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW);
        if (!active || *active == XCB_NONE)
            return std::nullopt;
        return *active;
    }
    xcb_get_input_focus_reply_t* reply = xcb_get_input_focus_reply(connection_.get(),
                                                                   xcb_get_input_focus(connection_.get()), nullptr);
    if (!reply)
        return std::nullopt;
    const xcb_window_t focus = reply->focus;
    std::free(reply);
    if (focus == XCB_NONE || focus == XCB_INPUT_FOCUS_POINTER_ROOT || focus == connection_.root())
        return std::nullopt;
    return focus;
}

bool X11WindowFocus::activate(quint64 window, quint32 timestamp)
{
    if (!connection_.isValid() || window == XCB_NONE)
        return false;
    const auto target = xcb_window_t(window);
    xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
        connection_.get(), xcb_get_window_attributes(connection_.get(), target), nullptr);
    if (!attributes)
        return false; // gone
    const bool viewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(attributes);
    if (!viewable)
        return false;
    if (hasWindowManager()) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = target;
        message.type = connection_.atom("_NET_ACTIVE_WINDOW");
        message.data.data32[0] = 2; // from a pager: the user asked for it
        message.data.data32[1] = timestamp;
        xcb_send_event(connection_.get(), 0, connection_.root(),
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
    } else {
        // The server ignores a time older than its last focus change, and without a window
        // manager nothing else arbitrates: now it is.
        xcb_set_input_focus(connection_.get(), XCB_INPUT_FOCUS_PARENT, target, XCB_CURRENT_TIME);
    }
    xcb_flush(connection_.get());
    return true;
}

bool X11WindowFocus::compositing()
{
    if (!connection_.isValid())
        return false;
    // A compositing manager owns the _NET_WM_CM_S<screen> selection.
    const xcb_atom_t selection = connection_.atom("_NET_WM_CM_S0");
    xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(
        connection_.get(), xcb_get_selection_owner(connection_.get(), selection), nullptr);
    if (!reply)
        return false;
    const bool owned = reply->owner != XCB_NONE;
    std::free(reply);
    return owned;
}

void X11WindowFocus::passClicks(quint64 window, bool through)
{
    if (!connection_.isValid() || window == XCB_NONE)
        return;
    if (through) // an empty input shape: every press goes to the window beneath
        xcb_shape_rectangles(connection_.get(), XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_CLIP_ORDERING_UNSORTED,
                             xcb_window_t(window), 0, 0, 0, nullptr);
    else // back to the window's own shape
        xcb_shape_mask(connection_.get(), XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, xcb_window_t(window), 0, 0, XCB_NONE);
    xcb_flush(connection_.get());
}

} // namespace tavlin
