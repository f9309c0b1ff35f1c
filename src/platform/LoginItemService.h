#pragma once

namespace tavlin {

// Where the application stands as a login item. requiresApproval and notFound come from systems
// that vet login items; an XDG autostart entry is either in force or not.
enum class LoginItemStatus { enabled, disabled, requiresApproval, notFound, unsupported };

// Starting the application at login. Main thread; the calls are synchronous.
class LoginItemService {
public:
    virtual ~LoginItemService() = default;

    virtual LoginItemStatus status() const = 0;
    // Both throw an Error that Diagnostics can turn into a display text.
    virtual void registerItem() = 0;
    virtual void unregisterItem() = 0;
    // Shows the system's own place for login items.
    virtual void openSystemSettings() = 0;
};

} // namespace tavlin
