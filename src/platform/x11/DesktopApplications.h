#pragma once

#include "DesktopEntry.h"

#include <QFileSystemWatcher>
#include <QFuture>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace tavlin {

// The installed applications: the desktop entries of the XDG applications folders
// ($XDG_DATA_HOME/applications, then those of $XDG_DATA_DIRS), where the first entry of a
// desktop-file id hides the later ones.
//
// Reading them takes time that grows with the number of desktop files, so they are read on a
// worker thread: from prepare() on, and again as soon as a folder changes. A lookup answers from
// the entries read for the folders' present state (their modification times, the folder list and
// the interface language); only when those are not read yet does it wait for them. Main thread.
class DesktopApplications {
public:
    // Reads one entry; DesktopEntry::read unless a test watches the reads.
    using EntryReader = std::function<std::optional<DesktopEntry>(const QString& path, const QString& desktopID,
                                                                  const QString& locale)>;

    // `folders` in precedence order; empty means the XDG folders, looked up afresh each time.
    explicit DesktopApplications(QStringList folders = {}, EntryReader reader = {});

    // Starts reading the entries in the background, if they are not read or being read.
    void prepare();

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
    // The entries as read for one state of the folders; never changes once read.
    struct Index {
        QList<DesktopEntry> entries;
        // Positions in `entries` by desktop-file id and by application identifier.
        QHash<QString, qsizetype> byDesktopID;
        QHash<QString, qsizetype> byApplicationID;
    };

    QString signature(const QStringList& folders) const;
    static std::shared_ptr<const Index> read(const QStringList& folders, const QString& localeName,
                                             const EntryReader& reader);
    // Starts reading for the folders' present state unless that is read or being read; returns it.
    QString startReading();
    const Index& current();

    QStringList explicitFolders_;
    EntryReader reader_;
    QFileSystemWatcher watcher_;
    QString signature_;
    std::shared_ptr<const Index> index_;
    // The state being read, empty when none is.
    QString readingSignature_;
    QFuture<std::shared_ptr<const Index>> reading_;
};

} // namespace tavlin
