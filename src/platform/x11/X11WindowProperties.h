#pragma once

#include "WindowProperties.h"

namespace tavlin {

// Window properties on the X11 display, over Qt's own connection. Reads nothing and writes
// nothing on another platform.
class X11WindowProperties final : public WindowProperties {
public:
    std::optional<QByteArray> read(quintptr window, const char* name) const override;
    void write(quintptr window, const char* name, const std::optional<QByteArray>& value) override;
};

} // namespace tavlin
