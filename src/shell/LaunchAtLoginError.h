#pragma once

#include "Error.h"

namespace tavlin {

// Launch at login asked of a build that cannot offer it (not the installed application).
class LaunchAtLoginError : public Error {
public:
    QString typeName() const override { return QStringLiteral("LaunchAtLoginError"); }
    QString domain() const override { return QStringLiteral("Tavlin.LaunchAtLogin"); }
    long code() const override { return 1; }
    QString failureReason() const override { return QStringLiteral("not running as the installed application"); }
    QString localizedDescription() const override;
};

} // namespace tavlin
