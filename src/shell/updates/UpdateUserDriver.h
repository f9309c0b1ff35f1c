#pragma once

#include "UpdateCheckResult.h"

namespace tavlin {

// Shows the outcome of an update check to the user.
class UpdateUserDriver {
public:
    virtual ~UpdateUserDriver() = default;
    virtual void show(const UpdateCheckResult& result) = 0;
};

} // namespace tavlin
