#pragma once

#include "DesktopPresses.h"

namespace tavlin::test {

// Presses on other applications' windows, made by the test; reported only while watched.
class FakeDesktopPresses : public DesktopPresses {
public:
    bool watching = false;

    bool start() override
    {
        watching = true;
        return true;
    }
    void stop() override { watching = false; }

    void press()
    {
        if (watching)
            Q_EMIT pressed();
    }
};

} // namespace tavlin::test
