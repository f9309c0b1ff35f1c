#pragma once

#include <QCoreApplication>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <optional>

namespace tavlin {

// Tavlin running as an installed application: its desktop file "org.tavlin.Tavlin.desktop" is
// the one the desktop finds in the XDG data folders ("applications/"), and the executable it
// names is the one running: by path, or by a bare name found on PATH or in the install's own bin
// folder beside that data folder. A build started from its build folder is not installed, even
// when an installed copy exists; launch at login and update checks are offered only to the
// installed one.
struct InstalledApplication {
    static inline const QString desktopID = QStringLiteral("org.tavlin.Tavlin");

    QString desktopFile;
    // Canonical path of the running, installed executable.
    QString executable;

    bool operator==(const InstalledApplication&) const = default;

    // The program the user starts as Tavlin: the launcher this process was started through,
    // else this executable.
    static QString runningExecutable();

    // `dataFolders` in the desktop's order of precedence; the first desktop file found is the one
    // the desktop uses, so only it is asked.
    static std::optional<InstalledApplication> find(
        const QString& runningExecutable = InstalledApplication::runningExecutable(),
        const QStringList& dataFolders = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation));
};

} // namespace tavlin
