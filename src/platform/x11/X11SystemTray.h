#pragma once

#include "SystemTray.h"
#include "X11TrayOwner.h"

namespace tavlin {

// The XEmbed tray is there while someone owns the tray selection.
class X11SystemTray final : public SystemTray {
    Q_OBJECT

public:
    explicit X11SystemTray(QObject* parent = nullptr);

    bool isAvailable() const override { return available_; }

private:
    X11TrayOwner tray_;
    bool available_ = false;
};

} // namespace tavlin
