#pragma once

#include "UpdateService.h"

namespace tavlin {

// The update service of a build that cannot check (not installed, or not configured): nothing
// can be checked or switched on, and nothing ever changes.
class UnavailableUpdateService : public UpdateService {
    Q_OBJECT

public:
    explicit UnavailableUpdateService(UpdateAvailability availability, QObject* parent = nullptr)
        : UpdateService(parent), availability_(std::move(availability))
    {
    }

    UpdateAvailability availability() const override { return availability_; }
    bool canCheckForUpdates() const override { return false; }
    bool automaticallyChecksForUpdates() const override { return false; }
    void setAutomaticallyChecksForUpdates(bool) override { }
    std::optional<QDateTime> lastCheckDate() const override { return std::nullopt; }
    void checkForUpdates() override { }

private:
    UpdateAvailability availability_;
};

} // namespace tavlin
