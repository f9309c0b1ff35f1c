#include "X11SystemTray.h"

namespace tavlin {

X11SystemTray::X11SystemTray(QObject* parent) : SystemTray(parent), available_(tray_.owner() != XCB_NONE)
{
    connect(&tray_, &X11TrayOwner::ownerChanged, this, [this] {
        const bool available = tray_.owner() != XCB_NONE;
        if (available == available_)
            return;
        available_ = available;
        Q_EMIT availabilityChanged(available_);
    });
}

} // namespace tavlin
