#pragma once

#include "TrayColors.h"
#include "XcbConnection.h"

class QSocketNotifier;

namespace tavlin {

// The foreground a system tray publishes for its icons (_NET_SYSTEM_TRAY_COLORS on the owner of
// the tray selection), followed as the tray changes it, restarts or goes. Uses a connection of
// its own, so that the events it asks for never change what Qt's connection receives.
class X11TrayColors final : public TrayColors {
    Q_OBJECT

public:
    explicit X11TrayColors(QObject* parent = nullptr);

    std::optional<quint32> foreground() const override { return foreground_; }

private:
    void follow();
    void readEvents();

    XcbConnection x_;
    xcb_atom_t selection_ = XCB_NONE;
    xcb_atom_t colors_ = XCB_NONE;
    xcb_atom_t manager_ = XCB_NONE;
    xcb_window_t owner_ = XCB_NONE;
    std::optional<quint32> foreground_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace tavlin
