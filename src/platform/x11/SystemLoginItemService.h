#pragma once

#include "LoginItemService.h"

#include <QString>
#include <QUrl>

#include <functional>

namespace tavlin {

// The login item as an XDG autostart entry, "<autostart folder>/org.tavlin.Tavlin.desktop",
// that starts the installed executable. The entry is in force unless it is hidden (Hidden=true)
// or switched off (X-GNOME-Autostart-enabled=false); an entry under our name that starts another
// program, or that cannot be read, counts as off, and registering replaces it with ours.
class SystemLoginItemService : public LoginItemService {
public:
    using OpenURL = std::function<void(const QUrl&)>;

    // $XDG_CONFIG_HOME/autostart (~/.config/autostart).
    static QString standardAutostartFolder();
    static void openInDesktop(const QUrl& url);

    explicit SystemLoginItemService(QString executable, QString autostartFolder = standardAutostartFolder(),
                                    OpenURL openURL = &SystemLoginItemService::openInDesktop);

    QString entryPath() const;

    LoginItemStatus status() const override;
    // Writes our entry (atomically), creating the folder when needed; throws FileSystemError.
    void registerItem() override;
    // Removes the entry; one already gone is fine. Throws FileSystemError.
    void unregisterItem() override;
    // Opens the autostart folder in the file manager: desktops differ in where their
    // startup-application settings live, but all of them read that folder.
    void openSystemSettings() override;

private:
    QString executable_;
    QString autostartFolder_;
    OpenURL openURL_;
};

} // namespace tavlin
