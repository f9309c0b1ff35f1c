#pragma once

#include <QString>
#include <QUrl>

namespace tavlin {

// The outcome of one update check, as its window shows it.
struct UpdateCheckResult {
    enum class State { upToDate, updateAvailable, failed };

    State state = State::failed;
    // The display text: which version is the newest, or why the check failed.
    QString message;
    // The feed's newest version as it is shown (its short version string when it has one).
    QString version;
    // Where the newer version can be had (updateAvailable only).
    QUrl downloadPage;

    bool operator==(const UpdateCheckResult&) const = default;
};

} // namespace tavlin
