#include "DesktopApplications.h"

#include "Workspace.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QStandardPaths>

namespace tavlin {

namespace {

const QString desktopSuffix = QStringLiteral(".desktop");

QString withoutSuffix(QString name)
{
    if (name.endsWith(desktopSuffix))
        name.chop(desktopSuffix.size());
    return name;
}

} // namespace

DesktopApplications::DesktopApplications(QStringList folders) : explicitFolders_(std::move(folders))
{
}

QStringList DesktopApplications::folders() const
{
    if (!explicitFolders_.isEmpty())
        return explicitFolders_;
    return QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
}

void DesktopApplications::refreshIfChanged()
{
    const QStringList currentFolders = folders();
    const QString localeName = QLocale().name();
    QString signature = localeName;
    for (const QString& folder : currentFolders) {
        const QFileInfo info(folder);
        signature += u'\n' + folder + u'@'
            + QString::number(info.exists() ? info.lastModified().toMSecsSinceEpoch() : -1);
    }
    if (signature == signature_)
        return;
    signature_ = signature;

    entries_.clear();
    QSet<QString> seen;
    for (const QString& folder : currentFolders) {
        QDirIterator files(folder, {QStringLiteral("*.desktop")}, QDir::Files | QDir::Readable,
                           QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        QStringList paths;
        while (files.hasNext())
            paths.append(files.next());
        paths.sort(); // a stable answer whatever order the file system lists them in
        for (const QString& path : paths) {
            const QString desktopID = desktopIDForFile(path);
            if (seen.contains(desktopID))
                continue;
            seen.insert(desktopID);
            // A hidden or non-application entry still hides the same id further down the list.
            const std::optional<DesktopEntry> entry = DesktopEntry::read(path, desktopID, localeName);
            if (entry && entry->isApplication())
                entries_.append(*entry);
        }
    }
}

std::optional<DesktopEntry> DesktopApplications::entryForDesktopID(const QString& desktopID)
{
    refreshIfChanged();
    for (const DesktopEntry& entry : entries_) {
        if (entry.desktopID == desktopID)
            return entry;
    }
    return std::nullopt;
}

QList<DesktopEntry> DesktopApplications::entries()
{
    refreshIfChanged();
    return entries_;
}

std::optional<DesktopEntry> DesktopApplications::entryForApplicationID(const QString& id)
{
    refreshIfChanged();
    for (const DesktopEntry& entry : entries_) {
        if (Workspace::applicationIDForDesktopID(entry.desktopID) == id)
            return entry;
    }
    return std::nullopt;
}

std::optional<DesktopEntry> DesktopApplications::entryForWindowClass(const QString& instance, const QString& className)
{
    refreshIfChanged();
    const QStringList names = QStringList{className, instance};
    for (Qt::CaseSensitivity sensitivity : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        for (const QString& name : names) {
            if (name.isEmpty())
                continue;
            for (const DesktopEntry& entry : entries_) {
                if (entry.startupWMClass.compare(name, sensitivity) == 0)
                    return entry;
            }
            for (const DesktopEntry& entry : entries_) {
                if (entry.desktopID.compare(name, sensitivity) == 0)
                    return entry;
            }
        }
    }
    return std::nullopt;
}

QString DesktopApplications::desktopIDForFile(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    for (const QString& folder : folders()) {
        const QString prefix = QDir(folder).absolutePath() + u'/';
        if (absolute.startsWith(prefix))
            return withoutSuffix(absolute.mid(prefix.size())).replace(u'/', u'-');
    }
    return withoutSuffix(QFileInfo(path).fileName());
}

} // namespace tavlin
