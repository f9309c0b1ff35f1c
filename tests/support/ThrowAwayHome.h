#pragma once
// Header-only: every test main includes it, also those that link nothing else from this folder.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <initializer_list>
#include <sys/stat.h>

namespace tavlin::test {

// Gives the owner write and entry to `folder` and every folder in it, links not followed, so that
// what a test made read-only (a payloads folder of 0500, a history it locked) can be removed.
inline void makeRemovable(const QString& folder)
{
    struct stat info { };
    const QByteArray path = QFile::encodeName(folder);
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return;
    ::chmod(path.constData(), (info.st_mode & 07777) | S_IRWXU);
    const auto entries = QDir(folder).entryList(QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        makeRemovable(folder + u'/' + entry);
}

// A HOME of the test process's own for as long as it runs, which every program it starts
// inherits, with its runtime folder: what Qt, D-Bus, dconf, openbox or the accessibility bus keep
// there stays out of the user's, and goes with it. Made before anything reads HOME.
class ThrowAwayHome {
public:
    ThrowAwayHome()
    {
        if (!home_.isValid())
            return;
        qputenv("HOME", QFile::encodeName(home_.path()));
        for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
            qunsetenv(variable);
        // A runtime folder too: without one (su -, a minimal login) Qt would make
        // /tmp/runtime-<user> and leave it.
        const QString runtime = home_.path() + QStringLiteral("/run");
        if (QDir().mkdir(runtime)
            && QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }
    ~ThrowAwayHome() { makeRemovable(home_.path()); }
    ThrowAwayHome(const ThrowAwayHome&) = delete;
    ThrowAwayHome& operator=(const ThrowAwayHome&) = delete;

private:
    QTemporaryDir home_{QDir::tempPath() + QStringLiteral("/tavlin-test-home-XXXXXX")};
};

} // namespace tavlin::test
