#pragma once

#include <QProcessEnvironment>
#include <QString>

#include <functional>
#include <optional>

namespace tavlin {

class Defaults;

// Restarting the application by itself, for a change of interface language: a detached shell
// waits until this process has gone, then starts our executable again, so the new instance never
// meets the old one (which would otherwise take its launch as a reopen request).
struct ApplicationRelauncher {
    // Waits for the process "$1", then runs the rest of its arguments. `kill` is the shell's own,
    // so the wait never ends early for want of an external kill program. `kill -0` also reaches a
    // zombie, which has ended but stays until its parent reaps it, and a parent that never does
    // would hold the restart back for good: the state after the name in /proc/<pid>/stat tells.
    static inline const QString script = QStringLiteral(
        R"(while kill -0 "$1" 2>/dev/null && ! { read -r s < "/proc/$1/stat" && s=${s##*") "})"
        R"( && [ "${s%% *}" = Z ]; } 2>/dev/null; do /bin/sleep 0.2; done; shift; exec "$@")");

    // Starts "/bin/sh -c <script> relaunch <our pid> <our executable>" detached, in `environment`.
    // On success asks this instance to quit through `terminate` (so the delegate's orderly
    // shutdown runs) and returns true; on failure logs "Relaunch failed: ..." and returns false,
    // and this instance keeps running.
    static bool relaunch(const QProcessEnvironment& environment,
                         const std::function<void()>& terminate = &ApplicationRelauncher::quitApplication);

    // The language relaunch road: stores "interface" under "settings.reopenAfterRestart", runs
    // `relaunchApplication`, and removes the marker again when it returns false.
    static bool relaunchForLanguage(Defaults& defaults, const std::function<bool()>& relaunchApplication);
    // Start-up: the section name stored by a language relaunch, once; the marker is removed.
    // Nothing when it is missing or not a string.
    static std::optional<QString> takeReopenSection(Defaults& defaults);

    // QCoreApplication::quit, which lets the event loop end in order.
    static void quitApplication();
};

} // namespace tavlin
