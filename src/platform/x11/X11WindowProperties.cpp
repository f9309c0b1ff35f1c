#include "X11WindowProperties.h"

#include "QtXcb.h"

#include <cstdlib>

namespace tavlin {

std::optional<QByteArray> X11WindowProperties::read(quintptr window, const char* name) const
{
    xcb_connection_t* x = QtXcb::connection();
    if (!x || !window)
        return std::nullopt;
    const xcb_atom_t property = QtXcb::atom(x, name);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        x, xcb_get_property(x, false, xcb_window_t(window), property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr);
    std::optional<QByteArray> value;
    if (reply && reply->type != XCB_ATOM_NONE && reply->format == 8)
        value = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                           xcb_get_property_value_length(reply));
    std::free(reply);
    return value;
}

void X11WindowProperties::write(quintptr window, const char* name, const std::optional<QByteArray>& value)
{
    xcb_connection_t* x = QtXcb::connection();
    if (!x || !window)
        return;
    const xcb_atom_t property = QtXcb::atom(x, name);
    const auto id = xcb_window_t(window);
    if (value)
        xcb_change_property(x, XCB_PROP_MODE_REPLACE, id, property, QtXcb::atom(x, "UTF8_STRING"), 8,
                            uint32_t(value->size()), value->constData());
    else
        xcb_delete_property(x, id, property);
    xcb_flush(x);
}

} // namespace tavlin
