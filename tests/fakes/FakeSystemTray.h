#pragma once

#include "SystemTray.h"

namespace tavlin::test {

// A tray that a test puts up and takes down; each change is announced like the real one's.
class FakeSystemTray : public SystemTray {
public:
    explicit FakeSystemTray(bool available = true) : available_(available) { }

    bool isAvailable() const override { return available_; }

    void setAvailable(bool available)
    {
        if (available != available_) {
            available_ = available;
            Q_EMIT availabilityChanged(available);
        }
    }

private:
    bool available_;
};

} // namespace tavlin::test
