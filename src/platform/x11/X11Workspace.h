#pragma once

#include "DesktopApplications.h"
#include "Workspace.h"

#include <QAbstractNativeEventFilter>

#include <memory>

namespace tavlin {

class XcbConnection;

// The workspace on an X11 desktop with freedesktop application entries.
//
// The frontmost application is the one owning the window in the root window's
// _NET_ACTIVE_WINDOW, identified by the first of: this process (by _NET_WM_PID), the window's
// _GTK_APPLICATION_ID, its _KDE_NET_WM_DESKTOP_FILE, the Flatpak application it runs in, the
// desktop entry its WM_CLASS names, and last its WM_CLASS itself taken as a desktop-file id.
// Without a display (or a window manager that publishes the active window) there is none.
//
// The answer is the application as of the events this thread has handled, not as of now: each
// change of _NET_ACTIVE_WINDOW is resolved as its notification is handled, so a clipboard change
// handled late (the thread was busy) is still matched with the window active when it was made, and
// not with one the user switched to after it, whose notification comes later in the same stream.
// Until a first change is seen (or without Qt's X connection) the active window is read directly.
class X11Workspace : public Workspace, private QAbstractNativeEventFilter {
    Q_OBJECT

public:
    // `applicationFolders` as for DesktopApplications (empty: the XDG folders).
    explicit X11Workspace(QStringList applicationFolders = {}, QObject* parent = nullptr);
    ~X11Workspace() override;

    std::optional<QString> frontmostApplicationID() const override;
    std::optional<ApplicationInfo> application(const QString& id) const override;
    std::optional<QString> applicationID(const QString& desktopFilePath) const override;
    // Through DesktopFileManager.
    void showItems(const QList<QUrl>& files) const override;
    QList<ApplicationInfo> installedApplications() const override;

    // The identifier of the application that owns `window` (the steps above, from the second).
    std::optional<QString> applicationIDForWindow(quint32 window) const;
    // The application of the program that created `window`, which may be a hidden one (a
    // clipboard owner's, say): the window's own identifier, else that of the first top-level
    // window the same X client made.
    std::optional<QString> applicationIDForClientOf(quint32 window) const;

    // The Flatpak application id a process runs as, from its control group; nothing outside a
    // sandbox. `cgroup` is the text of /proc/<pid>/cgroup.
    static std::optional<QString> flatpakIDFromCGroup(const QString& cgroup);

private:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    std::optional<QString> applicationIDForActiveWindow(quint32 window) const;
    // Whether our own connection heard of a switch of the active window made after `time` and
    // before the request `readSequence` was done: then a read by that request found a later
    // window than the one active at `time`. Forgets all it heard, so nothing piles up.
    bool switchedSince(quint32 time, std::optional<unsigned int> readSequence);

    std::unique_ptr<XcbConnection> connection_;
    mutable DesktopApplications applications_;
    quint32 activeWindowAtom_ = 0;
    bool filtering_ = false;
    // What the latest change of the active window that was handled resolved to.
    std::optional<std::optional<QString>> activeApplication_;
};

} // namespace tavlin
