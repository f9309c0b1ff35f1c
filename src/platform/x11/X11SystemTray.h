#pragma once

#include "SystemTray.h"
#include "XcbConnection.h"

class QSocketNotifier;

namespace tavlin {

// The XEmbed tray: whoever owns the _NET_SYSTEM_TRAY_S<screen> selection. A tray announces itself
// to the root window when it starts and takes its window with it when it goes. Uses a connection
// of its own, so that the events it asks for never change what Qt's connection receives.
class X11SystemTray final : public SystemTray {
    Q_OBJECT

public:
    explicit X11SystemTray(QObject* parent = nullptr);

    bool isAvailable() const override { return owner_ != XCB_NONE; }

private:
    void follow();
    void readEvents();

    XcbConnection x_;
    xcb_atom_t selection_ = XCB_NONE;
    xcb_atom_t manager_ = XCB_NONE;
    xcb_window_t owner_ = XCB_NONE;
};

} // namespace tavlin
