#pragma once

#include "ShortcutBinding.h"
#include "ShortcutError.h"

#include <functional>

namespace tavlin {

// The system side of the global shortcut: registers hot keys with the display server and reports
// their presses. GlobalShortcut drives it. Main thread only.
class HotKeyBackend {
public:
    virtual ~HotKeyBackend() = default;

    // Called on the main thread when a registered hot key is pressed.
    std::function<void()> onPress;

    // Registers a hot key for `binding` and returns its identifier. Throws ShortcutError: invalid
    // for a binding that is not valid, conflict when another program holds the combination, system
    // for any other refusal.
    virtual quint32 registerHotKey(const ShortcutBinding& binding) = 0;
    // Gives up that registration; an identifier that is not registered is ignored.
    virtual void unregister(quint32 id) = 0;
    // Gives up every registration and every system resource, and clears onPress.
    virtual void shutdown() = 0;
};

} // namespace tavlin
