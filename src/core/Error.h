#pragma once

#include <QString>

#include <exception>
#include <string>

namespace tavlin {

// The common face of every error the engine throws, so one place (Diagnostics) can turn any of
// them into a display text and a log entry without knowing the concrete type.
class Error : public std::exception {
public:
    // Name of the concrete type, for the log.
    virtual QString typeName() const = 0;
    // Error domain and code, for the log ("Tavlin.StorageError" 1, "POSIX" 13, ...).
    virtual QString domain() const = 0;
    virtual long code() const = 0;
    // Technical reason for the log; may be empty.
    virtual QString failureReason() const = 0;
    // The text a window shows, in the running interface language.
    virtual QString localizedDescription() const = 0;

    const char* what() const noexcept override;

private:
    mutable std::string whatCache_;
};

} // namespace tavlin
