#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <xcb/xcb.h>

#include <optional>

namespace tavlin {

// A connection of our own to the X server, separate from Qt's, so that waiting on it (with a
// time-out of our choosing) never mixes with the events Qt handles. Main thread.
class XcbConnection {
public:
    // Connects to $DISPLAY; check isValid().
    XcbConnection();
    ~XcbConnection();
    XcbConnection(const XcbConnection&) = delete;
    XcbConnection& operator=(const XcbConnection&) = delete;

    bool isValid() const;
    xcb_connection_t* get() const { return connection_; }
    xcb_window_t root() const { return root_; }
    // The number of $DISPLAY's screen, whose root root() is.
    int screen() const { return screen_; }

    // Any client on the display may intern atoms without end and offer them as targets: past
    // this many names the cache starts afresh.
    static constexpr qsizetype atomCacheLimit = 4096;

    // Interned once and cached.
    xcb_atom_t atom(const QByteArray& name);
    // Names of many atoms with one round trip for those not cached; an unknown atom gives "".
    QList<QByteArray> atomNames(const QList<xcb_atom_t>& atoms);
    qsizetype cachedAtomCount() const { return names_.size(); }

    // A whole property of a window, or nothing when the window has none (or is gone).
    std::optional<QByteArray> property(xcb_window_t window, xcb_atom_t property,
                                       xcb_atom_t type = XCB_GET_PROPERTY_TYPE_ANY);
    // A property holding one 32-bit value (a window or a cardinal).
    std::optional<quint32> cardinalProperty(xcb_window_t window, xcb_atom_t property, xcb_atom_t type);

private:
    void remember(xcb_atom_t atom, const QByteArray& name);

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = XCB_NONE;
    int screen_ = 0;
    QHash<QByteArray, xcb_atom_t> atoms_;
    QHash<xcb_atom_t, QByteArray> names_;
};

} // namespace tavlin
