#pragma once

#include "XcbConnection.h"

#include <QObject>

namespace tavlin {

// The window of the running XEmbed tray: whoever owns the _NET_SYSTEM_TRAY_S<screen> selection,
// followed as trays start (a new one announces itself to the root window) and go (taking their
// window with them). Uses a connection of its own, so that the events it asks for never change
// what Qt's connection receives. Main thread.
class X11TrayOwner final : public QObject {
    Q_OBJECT

public:
    // `ownerEvents`: what else of the owner's window to hear of (its property changes, say).
    explicit X11TrayOwner(uint32_t ownerEvents = 0, QObject* parent = nullptr);

    XcbConnection& connection() { return x_; }
    // XCB_NONE while there is no tray.
    xcb_window_t owner() const { return owner_; }

Q_SIGNALS:
    // A tray came, went or was replaced; also emitted when the owner stays, for a re-read.
    void ownerChanged();
    void ownerPropertyChanged(xcb_atom_t property);

private:
    void follow();
    void readEvents();

    XcbConnection x_;
    uint32_t ownerEvents_ = 0;
    xcb_atom_t selection_ = XCB_NONE;
    xcb_atom_t manager_ = XCB_NONE;
    xcb_window_t owner_ = XCB_NONE;
};

} // namespace tavlin
