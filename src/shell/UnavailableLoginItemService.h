#pragma once

#include "LoginItemService.h"

namespace tavlin {

// The login item of a build that does not run installed: always unsupported; registering throws
// LaunchAtLoginController::unsupportedError(), the rest does nothing.
class UnavailableLoginItemService : public LoginItemService {
public:
    LoginItemStatus status() const override { return LoginItemStatus::unsupported; }
    void registerItem() override;
    void unregisterItem() override { }
    void openSystemSettings() override { }
};

} // namespace tavlin
