#pragma once

#include "TrayColors.h"
#include "X11TrayOwner.h"

namespace tavlin {

// The foreground a system tray publishes for its icons (_NET_SYSTEM_TRAY_COLORS on the owner of
// the tray selection), followed as the tray changes it, restarts or goes.
class X11TrayColors final : public TrayColors {
    Q_OBJECT

public:
    explicit X11TrayColors(QObject* parent = nullptr);

    std::optional<quint32> foreground() const override { return foreground_; }

private:
    void follow();

    X11TrayOwner tray_{XCB_EVENT_MASK_PROPERTY_CHANGE};
    xcb_atom_t colors_ = XCB_NONE;
    std::optional<quint32> foreground_;
};

} // namespace tavlin
