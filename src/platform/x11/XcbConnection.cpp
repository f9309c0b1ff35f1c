#include "XcbConnection.h"

#include <cstdlib>
#include <cstring>

namespace tavlin {

XcbConnection::XcbConnection()
{
    connection_ = xcb_connect(nullptr, &screen_);
    if (xcb_connection_has_error(connection_))
        return;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screen_ && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem > 0)
        root_ = screens.data->root;
}

XcbConnection::~XcbConnection()
{
    // xcb_connect never returns null; a failed connection must be disconnected too.
    xcb_disconnect(connection_);
}

bool XcbConnection::isValid() const
{
    return xcb_connection_has_error(connection_) == 0 && root_ != XCB_NONE;
}

xcb_atom_t XcbConnection::atom(const QByteArray& name)
{
    const auto cached = atoms_.constFind(name);
    if (cached != atoms_.cend())
        return *cached;
    xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection_, 0, name.size(), name.constData());
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection_, cookie, nullptr);
    if (!reply)
        return XCB_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    remember(atom, name);
    return atom;
}

void XcbConnection::remember(xcb_atom_t atom, const QByteArray& name)
{
    // Starting afresh costs only the round trips to learn the few names in use again.
    if (names_.size() >= atomCacheLimit) {
        names_.clear();
        atoms_.clear();
    }
    names_.insert(atom, name);
    atoms_.insert(name, atom);
}

QList<QByteArray> XcbConnection::atomNames(const QList<xcb_atom_t>& atoms)
{
    // Send every request first, then collect the replies: one round trip in all.
    QHash<xcb_atom_t, xcb_get_atom_name_cookie_t> cookies;
    for (xcb_atom_t atom : atoms) {
        if (atom != XCB_NONE && !names_.contains(atom) && !cookies.contains(atom))
            cookies.insert(atom, xcb_get_atom_name(connection_, atom));
    }
    QHash<xcb_atom_t, QByteArray> fetched;
    for (auto it = cookies.cbegin(); it != cookies.cend(); ++it) {
        xcb_get_atom_name_reply_t* reply = xcb_get_atom_name_reply(connection_, it.value(), nullptr);
        if (!reply)
            continue;
        fetched.insert(it.key(), QByteArray(xcb_get_atom_name_name(reply), xcb_get_atom_name_name_length(reply)));
        std::free(reply);
    }
    // Answered before the cache learns the new names: learning them may start it afresh.
    QList<QByteArray> names;
    names.reserve(atoms.size());
    for (xcb_atom_t atom : atoms)
        names.append(fetched.contains(atom) ? fetched.value(atom) : names_.value(atom));
    for (auto it = fetched.cbegin(); it != fetched.cend(); ++it)
        remember(it.key(), it.value());
    return names;
}

std::optional<QByteArray> XcbConnection::property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    if (window == XCB_NONE || property == XCB_NONE)
        return std::nullopt;
    // Properties read this way are small (names, ids); 1 MiB is far beyond any of them.
    xcb_get_property_cookie_t cookie = xcb_get_property(connection_, 0, window, property, type, 0, 256 * 1024);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection_, cookie, nullptr);
    if (!reply)
        return std::nullopt;
    std::optional<QByteArray> value;
    if (reply->type != XCB_NONE && (type == XCB_GET_PROPERTY_TYPE_ANY || reply->type == type))
        value = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                           xcb_get_property_value_length(reply));
    std::free(reply);
    return value;
}

std::optional<quint32> XcbConnection::cardinalProperty(xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    const std::optional<QByteArray> value = this->property(window, property, type);
    if (!value || value->size() < 4)
        return std::nullopt;
    quint32 number = 0;
    std::memcpy(&number, value->constData(), sizeof number);
    return number;
}

} // namespace tavlin
