#pragma once

#include <QString>

#include <optional>

namespace tavlin {

// What naming an application needs of a desktop file's [Desktop Entry] group (DesktopFile).
struct DesktopEntry {
    // The desktop-file id ("org.gnome.Nautilus", "firefox", "kde4-kate").
    QString desktopID;
    QString path;
    QString type;
    // Name in the running interface language, else the plain Name.
    QString name;
    QString iconName;
    QString startupWMClass;
    bool hidden = false;

    bool operator==(const DesktopEntry&) const = default;

    // An application entry, listed or not, that has not been deleted (Hidden=true).
    bool isApplication() const { return type == QStringLiteral("Application") && !hidden && !name.isEmpty(); }

    // Reads the file; nothing when DesktopFile::read gives nothing. `localeName` selects
    // Name[...] ("ru_RU" tries ru_RU, then ru, then Name).
    static std::optional<DesktopEntry> read(const QString& path, const QString& desktopID, const QString& localeName);
};

} // namespace tavlin
