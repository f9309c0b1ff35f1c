#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

#include <optional>

namespace tavlin {

// Whether update checks can be had in this build, and why not.
struct UpdateAvailability {
    enum class State {
        available, // checks are possible
        notConfigured, // installed, but without a valid feed configuration
        unsupported, // not running as the installed application
        failed, // the update service could not start; `failureMessage` says why
    };

    State state = State::unsupported;
    QString failureMessage;

    static UpdateAvailability failed(QString message) { return {State::failed, std::move(message)}; }
    bool isAvailable() const { return state == State::available; }
    bool operator==(const UpdateAvailability&) const = default;
};

// Checking for a newer Tavlin. Main thread. Emits changed() whenever any of its values may have
// changed.
class UpdateService : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual UpdateAvailability availability() const = 0;
    // A check can start now (none is running).
    virtual bool canCheckForUpdates() const = 0;
    virtual bool automaticallyChecksForUpdates() const = 0;
    virtual void setAutomaticallyChecksForUpdates(bool value) = 0;
    // When the last check completed, if one ever did.
    virtual std::optional<QDateTime> lastCheckDate() const = 0;
    // Starts a check that the user asked for; its outcome shows in a window of its own.
    virtual void checkForUpdates() = 0;

Q_SIGNALS:
    void changed();
    // Right before a window that the user asked for is shown, so the application's floating
    // windows can step aside.
    void willPresentWindow();
};

} // namespace tavlin
