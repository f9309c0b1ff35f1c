#include "DesktopEntry.h"

#include "DesktopFile.h"

namespace tavlin {

std::optional<DesktopEntry> DesktopEntry::read(const QString& path, const QString& desktopID, const QString& localeName)
{
    const std::optional<DesktopFile> file = DesktopFile::read(path);
    if (!file)
        return std::nullopt;
    DesktopEntry entry;
    entry.desktopID = desktopID;
    entry.path = path;
    entry.type = file->value(QStringLiteral("Type"));
    entry.name = file->localizedValue(QStringLiteral("Name"), localeName);
    entry.iconName = file->value(QStringLiteral("Icon"));
    entry.startupWMClass = file->value(QStringLiteral("StartupWMClass"));
    entry.hidden = file->isTrue(QStringLiteral("Hidden"));
    return entry;
}

} // namespace tavlin
