#pragma once

#include "DesktopEntry.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tavlin {

// The installed applications: the desktop entries of the XDG applications folders
// ($XDG_DATA_HOME/applications, then those of $XDG_DATA_DIRS), where the first entry of a
// desktop-file id hides the later ones. Scanned on first use and again whenever a folder's
// modification time, the folder list or the interface language changes. Main thread.
class DesktopApplications {
public:
    // `folders` in precedence order; empty means the XDG folders, looked up afresh each time.
    explicit DesktopApplications(QStringList folders = {});

    std::optional<DesktopEntry> entryForDesktopID(const QString& desktopID);
    // Every visible entry, in precedence order.
    QList<DesktopEntry> entries();
    // The entry whose application identifier (Workspace::applicationIDForDesktopID) is `id`.
    std::optional<DesktopEntry> entryForApplicationID(const QString& id);
    // The entry that names a window's WM_CLASS: by StartupWMClass, else by desktop-file id,
    // exactly first and then ignoring case.
    std::optional<DesktopEntry> entryForWindowClass(const QString& instance, const QString& className);

    // The desktop-file id of a file: its path below an applications folder with '/' turned into
    // '-', or for a file elsewhere its own name; without ".desktop" in both cases.
    QString desktopIDForFile(const QString& path);

    QStringList folders() const;

private:
    void refreshIfChanged();

    QStringList explicitFolders_;
    QString signature_;
    QList<DesktopEntry> entries_;
};

} // namespace tavlin
