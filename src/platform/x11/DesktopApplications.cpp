#include "DesktopApplications.h"

#include "Workspace.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentRun>

namespace tavlin {

namespace {

const QString desktopSuffix = QStringLiteral(".desktop");

QString withoutSuffix(QString name)
{
    if (name.endsWith(desktopSuffix))
        name.chop(desktopSuffix.size());
    return name;
}

QString desktopIDIn(const QStringList& folders, const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    for (const QString& folder : folders) {
        const QString prefix = QDir(folder).absolutePath() + u'/';
        if (absolute.startsWith(prefix))
            return withoutSuffix(absolute.mid(prefix.size())).replace(u'/', u'-');
    }
    return withoutSuffix(QFileInfo(path).fileName());
}

} // namespace

DesktopApplications::DesktopApplications(QStringList folders, EntryReader reader)
    : explicitFolders_(std::move(folders)), reader_(reader ? std::move(reader) : EntryReader(&DesktopEntry::read))
{
    // An application installed or removed is read at once, before anything asks for it.
    QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, &watcher_, [this] { startReading(); });
}

QStringList DesktopApplications::folders() const
{
    if (!explicitFolders_.isEmpty())
        return explicitFolders_;
    return QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
}

QString DesktopApplications::signature(const QStringList& folders) const
{
    QString signature = QLocale().name();
    for (const QString& folder : folders) {
        const QFileInfo info(folder);
        signature += u'\n' + folder + u'@'
            + QString::number(info.exists() ? info.lastModified().toMSecsSinceEpoch() : -1);
    }
    return signature;
}

std::shared_ptr<const DesktopApplications::Index> DesktopApplications::read(const QStringList& folders,
                                                                            const QString& localeName,
                                                                            const EntryReader& reader)
{
    auto index = std::make_shared<Index>();
    QSet<QString> seen;
    for (const QString& folder : folders) {
        QDirIterator files(folder, {QStringLiteral("*.desktop")}, QDir::Files | QDir::Readable,
                           QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        QStringList paths;
        while (files.hasNext())
            paths.append(files.next());
        paths.sort(); // a stable answer whatever order the file system lists them in
        for (const QString& path : paths) {
            const QString desktopID = desktopIDIn(folders, path);
            if (seen.contains(desktopID))
                continue;
            seen.insert(desktopID);
            // A hidden or non-application entry still hides the same id further down the list.
            const std::optional<DesktopEntry> entry = reader(path, desktopID, localeName);
            if (!entry || !entry->isApplication())
                continue;
            const qsizetype position = index->entries.size();
            index->entries.append(*entry);
            index->byDesktopID.insert(entry->desktopID, position);
            // Two desktop-file ids may give one identifier ("a_b" and "a-b"): the first entry keeps it.
            const QString id = Workspace::applicationIDForDesktopID(entry->desktopID);
            if (!index->byApplicationID.contains(id))
                index->byApplicationID.insert(id, position);
        }
    }
    return index;
}

QString DesktopApplications::startReading()
{
    const QStringList currentFolders = folders();
    const QString current = signature(currentFolders);
    if ((index_ && current == signature_) || current == readingSignature_)
        return current;
    for (const QString& folder : currentFolders) {
        if (QFileInfo(folder).isDir() && !watcher_.directories().contains(folder))
            watcher_.addPath(folder);
    }
    readingSignature_ = current;
    reading_ = QtConcurrent::run(&DesktopApplications::read, currentFolders, QLocale().name(), reader_);
    return current;
}

void DesktopApplications::prepare()
{
    startReading();
}

const DesktopApplications::Index& DesktopApplications::current()
{
    const QString current = startReading();
    if (!index_ || current != signature_) {
        // Only the first lookup, or one made before the reading of a change ends, waits here.
        index_ = reading_.result();
        signature_ = readingSignature_;
        readingSignature_.clear();
        reading_ = {};
    }
    return *index_;
}

std::optional<DesktopEntry> DesktopApplications::entryForDesktopID(const QString& desktopID)
{
    const Index& index = current();
    const auto found = index.byDesktopID.constFind(desktopID);
    if (found == index.byDesktopID.cend())
        return std::nullopt;
    return index.entries.at(*found);
}

QList<DesktopEntry> DesktopApplications::entries()
{
    return current().entries;
}

std::optional<DesktopEntry> DesktopApplications::entryForApplicationID(const QString& id)
{
    const Index& index = current();
    const auto found = index.byApplicationID.constFind(id);
    if (found == index.byApplicationID.cend())
        return std::nullopt;
    return index.entries.at(*found);
}

std::optional<DesktopEntry> DesktopApplications::entryForWindowClass(const QString& instance, const QString& className)
{
    const QList<DesktopEntry>& entries = current().entries;
    const QStringList names = QStringList{className, instance};
    for (Qt::CaseSensitivity sensitivity : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        for (const QString& name : names) {
            if (name.isEmpty())
                continue;
            for (const DesktopEntry& entry : entries) {
                if (entry.startupWMClass.compare(name, sensitivity) == 0)
                    return entry;
            }
            for (const DesktopEntry& entry : entries) {
                if (entry.desktopID.compare(name, sensitivity) == 0)
                    return entry;
            }
        }
    }
    return std::nullopt;
}

QString DesktopApplications::desktopIDForFile(const QString& path)
{
    return desktopIDIn(folders(), path);
}

} // namespace tavlin
