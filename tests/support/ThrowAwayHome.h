#pragma once
// Header-only: every test main includes it, also those that link nothing else from this folder.
#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <optional>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavlin::test {

// A session bus no program reaches. Given none, libdbus and GLib start one for a program on an
// X display (dbus-launch, from dbus-x11, which desktops have), and that bus outlives the test and
// leaves its socket in /tmp; given this, a program runs without one, as where none can start.
inline constexpr char unreachableSessionBus[] = "unix:path=/dev/null";

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

// The processes, other than this one, whose environment gives them `folder` or a folder in it for
// HOME.
inline QList<pid_t> programsWithHomeIn(const QString& folder)
{
    const QByteArray home = "HOME=" + QFile::encodeName(folder);
    QList<pid_t> found;
    const QStringList processes = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : processes) {
        bool number = false;
        const pid_t pid = name.toInt(&number);
        QFile variables(QStringLiteral("/proc/%1/environ").arg(name));
        if (!number || pid == ::getpid() || !variables.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> environment = variables.readAll().split('\0');
        if (std::any_of(environment.begin(), environment.end(), [&](const QByteArray& variable) {
                return variable == home || variable.startsWith(home + '/');
            }))
            found.append(pid);
    }
    return found;
}

// Sends `signal` to each of `programs`, and waits up to `milliseconds` until each has ended;
// returns whether all did.
inline bool endPrograms(const QList<pid_t>& programs, int signal, int milliseconds)
{
    QList<pid_t> ending;
    for (const pid_t pid : programs) {
        if (::kill(pid, signal) == 0)
            ending.append(pid);
        ::kill(pid, SIGCONT); // a stopped program acts on no other signal
    }
    // A child stays a zombie until its parent reaps it: it has ended all the same.
    const auto ended = [](pid_t pid) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        return !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z ");
    };
    for (int waited = 0; !std::all_of(ending.begin(), ending.end(), ended); waited += 20) {
        if (waited >= milliseconds)
            return false;
        ::usleep(20 * 1000);
    }
    return true;
}

// Once this process has ended, however it ends (returning, an abort, a crash, ctest's kill at a
// timeout, where no destructor runs), ends what still runs with a HOME in `folder` and removes the
// folder. A process of its own does it, outside this one's tree and session, which ctest's kill and
// a Ctrl+C end with it: it waits for the end of a pipe that only this process holds open.
inline void removeOnceThisProcessHasEnded(const QString& folder)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return;
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setsid() < 0 || ::fork() != 0)
            ::_exit(0);
        // Forked with the stops blocked, so that none came between the fork and leaving the
        // test's session. Out of it, no stop meant for the test reaches this one, and one sent to
        // it on purpose (`kill`) must end it as it ends any process.
        sigset_t stops;
        sigemptyset(&stops);
        for (const int stop : {SIGTERM, SIGINT, SIGHUP})
            sigaddset(&stops, stop);
        ::sigprocmask(SIG_UNBLOCK, &stops, nullptr);
        ::close(ends[1]);
        char byte = 0;
        while (::read(ends[0], &byte, 1) < 0 && errno == EINTR) { }
        // Asked first, the X server removes its socket and lock in /tmp, and a bus its socket.
        if (!endPrograms(programsWithHomeIn(folder), SIGTERM, 5000))
            endPrograms(programsWithHomeIn(folder), SIGKILL, 5000);
        makeRemovable(folder);
        QDir(folder).removeRecursively();
        ::_exit(0);
    }
    ::close(ends[0]);
    if (child > 0)
        ::waitpid(child, nullptr, 0);
}

// Whether others may pass through every folder on the way to `path`.
inline bool othersMayEnter(const QString& path)
{
    for (QDir folder(QDir(path).canonicalPath());; folder.cdUp()) {
        struct stat info { };
        if (::stat(QFile::encodeName(folder.path()).constData(), &info) != 0 || !(info.st_mode & S_IXOTH))
            return false;
        if (folder.isRoot())
            return true;
    }
}

// A HOME, a runtime folder and a temporary folder of the test process's own, all in one folder,
// and no session bus, which every program it starts inherits: what Qt, D-Bus, dconf, openbox, the
// accessibility bus or a test keep there stays out of the user's, and goes with it when the
// process ends, however it ends. Made before anything reads HOME or the temporary folder, or
// connects to a bus, and before any thread starts.
class ThrowAwayHome {
public:
    ThrowAwayHome()
    {
        qputenv("DBUS_SESSION_BUS_ADDRESS", unreachableSessionBus);
        // A stop (a script stopping every test at once) between making the folder and arranging
        // its removal would leave it behind: it waits until the removal is arranged.
        sigset_t stops;
        sigset_t before;
        sigemptyset(&stops);
        for (const int stop : {SIGTERM, SIGINT, SIGHUP})
            sigaddset(&stops, stop);
        ::sigprocmask(SIG_BLOCK, &stops, &before);
        folder_.emplace(base() + name);
        if (folder_->isValid())
            removeOnceThisProcessHasEnded(folder_->path());
        ::sigprocmask(SIG_SETMASK, &before, nullptr);
        if (!folder_->isValid())
            return;
        const QString path = folder_->path();
        // Others may pass through the folder, which is the temporary folder, as through /tmp, to
        // what a test run as root hands to an unprivileged user. The home and the runtime folder
        // are the owner's alone; without a runtime folder (su -, a minimal login) Qt would make
        // /tmp/runtime-<user> and leave it.
        const QString home = path + QStringLiteral("/home");
        const QString runtime = path + QStringLiteral("/run");
        const auto setMode = [](const QString& folder, mode_t mode) {
            return ::chmod(QFile::encodeName(folder).constData(), mode) == 0;
        };
        if (!setMode(path, 0711) || !QDir().mkdir(home) || !setMode(home, 0700) || !QDir().mkdir(runtime)
            || !setMode(runtime, 0700))
            return;
        qputenv("HOME", QFile::encodeName(home));
        for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
            qunsetenv(variable);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        qputenv("TMPDIR", QFile::encodeName(path));
    }
    ~ThrowAwayHome() { makeRemovable(folder_->path()); }
    ThrowAwayHome(const ThrowAwayHome&) = delete;
    ThrowAwayHome& operator=(const ThrowAwayHome&) = delete;

private:
    // With a quote and a space, as a TMPDIR may have: a test that hands a path in it to a shell
    // unquoted fails everywhere.
    static inline const QString name = QStringLiteral("/tavlin's test-XXXXXX");
    // The deepest socket a test makes below this folder: the application's fallback folder in a
    // test's own temporary folder, for the longest user id.
    static constexpr char deepestSocket[] = "/folder-XXXXXX/tmp/tavlin-4294967295/org.tavlin.Tavlin.socket";

    // In the temporary folder; in /tmp when a socket's path there would pass the 107 bytes a
    // socket's address holds (the application would go elsewhere, and parallel tests meet there),
    // and as root when others cannot reach that folder (a 0700 TMPDIR).
    static QString base()
    {
        const QString temporary = QDir::tempPath();
        const bool socketsFit = QFile::encodeName(temporary + name + QLatin1String(deepestSocket)).size()
            < qsizetype(sizeof(sockaddr_un::sun_path));
        return !socketsFit || (::geteuid() == 0 && !othersMayEnter(temporary)) ? QStringLiteral("/tmp") : temporary;
    }

    std::optional<QTemporaryDir> folder_;
};

} // namespace tavlin::test
