#pragma once

#include "WindowFocus.h"

#include <QList>

namespace tavlin::test {

// The desktop's keyboard focus as a test sets it: which window has the keyboard, whether handing
// it to a window works, and every window it was handed to, in order.
class FakeWindowFocus : public WindowFocus {
public:
    std::optional<quint64> active;
    bool activationWorks = true;
    bool compositor = false; // as offscreen: no window opacity
    QList<quint64> activated;

    std::optional<quint64> activeWindow() override { return active; }
    bool activate(quint64 window, quint32) override
    {
        activated.append(window);
        return activationWorks;
    }
    bool compositing() override { return compositor; }
    void passClicks(quint64, bool) override { }
};

} // namespace tavlin::test
