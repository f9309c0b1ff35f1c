#include "SingleInstance.h"

#include "InstanceChannel.h"
#include "InstanceServer.h"
#include "Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace tavlin {

namespace {

using Clock = std::chrono::steady_clock;

const QString socketName = QString::fromLatin1(InstanceChannel::socketName);
const QString runtimeLockName = QString::fromLatin1(InstanceChannel::lockName);

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Whether the file at `path` is still the one open on `fd`, not deleted or put in its place.
bool stillAt(int fd, const QString& path)
{
    struct stat open { };
    struct stat there { };
    return fd >= 0 && ::fstat(fd, &open) == 0 && ::lstat(QFile::encodeName(path).constData(), &there) == 0
        && open.st_ino == there.st_ino && open.st_dev == there.st_dev;
}

// Makes the folder of `file`, readable by this user alone, when it is missing.
void makeFolderOf(const QString& file)
{
    const QString folder = QFileInfo(file).absolutePath();
    if (!QFile::exists(folder) && QDir().mkpath(folder))
        ::chmod(QFile::encodeName(folder).constData(), 0700);
}

// The socket the history's lock at `historyLock` names, written by its holder once it listens;
// empty when it names none, or is not ours.
QString holderNamedIn(const QString& historyLock)
{
    const int fd = ::open(QFile::encodeName(historyLock).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return QString();
    char buffer[512];
    struct stat info { };
    const ssize_t count = ::fstat(fd, &info) == 0 && info.st_uid == ::geteuid() ? ::pread(fd, buffer, sizeof buffer, 0)
                                                                                : -1;
    ::close(fd);
    if (count <= 0)
        return QString();
    const QByteArray contents(buffer, count);
    const qsizetype end = contents.indexOf('\n');
    return end < 0 ? QString() : QFile::decodeName(contents.left(end));
}

} // namespace

bool SingleInstance::handOverToRunning(const QString& dataFolder, std::chrono::milliseconds patience)
{
    const std::string beside = InstanceChannel::runningSocket();
    const std::string named = QFile::encodeName(holderNamedIn(dataFolder + u'/' + lockFileName)).toStdString();
    const auto answers = [patience](const std::string& socket) {
        return !socket.empty() && InstanceChannel::handOver(socket, patience) == InstanceChannel::HandOver::answered;
    };
    return answers(beside) || (named != beside && answers(named));
}

SingleInstance::Paths SingleInstance::defaultPaths(const QString& dataFolder)
{
    // The lock lives beside the socket, so that a data folder that cannot be written to (a
    // read-only disk) does not let a second instance start; the history's lock guards the rest.
    const QString historyLock = dataFolder + u'/' + lockFileName;
    const QString folder = QFile::decodeName(InstanceChannel::instanceFolder().c_str());
    if (!folder.isEmpty())
        return Paths{folder + u'/' + runtimeLockName, folder + u'/' + socketName, historyLock};
    Log::error(QStringLiteral("Neither $XDG_RUNTIME_DIR nor %1 can be a private folder of this user: launching "
                              "Tavlin again cannot reach this instance")
                   .arg(QDir::tempPath() + QStringLiteral("/tavlin-%1").arg(::geteuid())));
    return Paths{QString(), QString(), historyLock};
}

SingleInstance::SingleInstance(Paths paths) : paths_(std::move(paths))
{
}

SingleInstance::~SingleInstance()
{
    watcher_.reset();
    server_.reset();
    if (listenFd_ >= 0)
        ::close(listenFd_);
    // Closing releases the locks.
    if (historyFolderFd_ >= 0)
        ::close(historyFolderFd_);
    if (historyLockFd_ >= 0)
        ::close(historyLockFd_);
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

SingleInstance::Claim SingleInstance::claim(std::chrono::milliseconds patience)
{
    const Deadline deadline = Clock::now() + patience;
    takeRuntimeLock();
    if (lockFd_ >= 0) {
        const auto ownSocket = [this] { return paths_.socket; };
        if (const std::optional<Claim> claim = takeOrHandOver(lockFd_, paths_.lockFile, ownSocket, deadline, patience))
            return *claim;
    }
    // Another launch's runtime folder, or none, or a runtime folder deleted under the instance:
    // whoever records into this history is the instance.
    takeHistoryLock();
    const auto holderSocket = [this] { return historyLockHolder(); };
    if (historyLockFd_ >= 0) {
        if (const std::optional<Claim> claim = takeOrHandOver(historyLockFd_, paths_.historyLock, holderSocket,
                                                              deadline, patience))
            return *claim;
    }
    // instance.lock may have been deleted under the running instance and made anew by this launch:
    // the folder's lock is still held by that instance, which names itself in the new file.
    if (historyFolderFd_ >= 0) {
        if (const std::optional<Claim> claim = takeOrHandOver(historyFolderFd_, QFileInfo(paths_.historyLock).path(),
                                                              holderSocket, deadline, patience))
            return *claim;
    }
    listen();
    if (listenFd_ >= 0)
        nameSocketIn(historyLockFd_);
    return Claim::first;
}

void SingleInstance::nameSocketIn(int historyLockFd) const
{
    if (historyLockFd < 0 || paths_.socket.isEmpty())
        return;
    const QByteArray holder = QFile::encodeName(paths_.socket) + '\n';
    if (::ftruncate(historyLockFd, 0) != 0
        || ::pwrite(historyLockFd, holder.constData(), holder.size(), 0) != holder.size())
        Log::error(
            QStringLiteral("Cannot write %1 (%2): a launch with another runtime folder cannot reach this instance")
                .arg(paths_.historyLock, systemError(errno)));
}

void SingleInstance::takeRuntimeLock()
{
    if (paths_.lockFile.isEmpty())
        return;
    makeFolderOf(paths_.lockFile);
    const QByteArray lockFile = QFile::encodeName(paths_.lockFile);
    lockFd_ = ::open(lockFile.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    struct stat lockInfo { };
    if (lockFd_ >= 0 && ::fstat(lockFd_, &lockInfo) == 0 && lockInfo.st_uid != ::geteuid()) {
        // Left by another user while the folder was open to others: whoever holds it is not us.
        ::close(lockFd_);
        ::unlink(lockFile.constData());
        lockFd_ = ::open(lockFile.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    }
    if (lockFd_ < 0)
        Log::error(QStringLiteral("Cannot open %1 (%2): another launch of Tavlin may start a second instance")
                       .arg(paths_.lockFile, systemError(errno)));
}

void SingleInstance::takeHistoryLock()
{
    if (paths_.historyLock.isEmpty())
        return;
    makeFolderOf(paths_.historyLock);
    // The folder itself, which a lock can be taken on even read-only and which outlives whatever
    // is deleted in it.
    const QByteArray folder = QFile::encodeName(QFileInfo(paths_.historyLock).path());
    historyFolderFd_ = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    struct stat folderInfo { };
    if (historyFolderFd_ >= 0 && (::fstat(historyFolderFd_, &folderInfo) != 0 || folderInfo.st_uid != ::geteuid())) {
        ::close(historyFolderFd_);
        historyFolderFd_ = -1;
    }
    const QByteArray lockFile = QFile::encodeName(paths_.historyLock);
    historyLockFd_ = ::open(lockFile.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    // A history on a read-only disk is still shown: a lock taken for reading holds as well.
    if (historyLockFd_ < 0 && (errno == EACCES || errno == EROFS))
        historyLockFd_ = ::open(lockFile.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    struct stat lockInfo { };
    if (historyLockFd_ >= 0 && (::fstat(historyLockFd_, &lockInfo) != 0 || lockInfo.st_uid != ::geteuid())) {
        // Another user's history, or a file put there by one: its holder could keep us out for good.
        ::close(historyLockFd_);
        historyLockFd_ = -1;
        return;
    }
    // Made read-only with the rest of the folder by its owner: it gets its permissions back, as
    // the history's files do at each start, so that it can name this instance's socket.
    if (historyLockFd_ >= 0 && (lockInfo.st_mode & 0777) != 0600 && ::fchmod(historyLockFd_, 0600) == 0) {
        const int writable = ::open(lockFile.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        if (writable >= 0) {
            ::close(historyLockFd_);
            historyLockFd_ = writable;
        }
    }
    if (historyLockFd_ < 0 && errno != ENOENT)
        Log::error(QStringLiteral("Cannot open %1 (%2): a launch with another runtime folder may start a second "
                                  "instance")
                       .arg(paths_.historyLock, systemError(errno)));
}

// Read from the file there now: the holder writes itself into one made anew after a deletion.
QString SingleInstance::historyLockHolder() const
{
    return holderNamedIn(paths_.historyLock);
}

std::optional<SingleInstance::Claim> SingleInstance::takeOrHandOver(int fd, const QString& lockFile,
                                                                    const std::function<QString()>& holderSocket,
                                                                    Deadline deadline,
                                                                    std::chrono::milliseconds patience) const
{
    bool foreignReported = false;
    while (true) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return std::nullopt;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            Log::error(QStringLiteral("Cannot lock %1 (%2): another launch of Tavlin may start a second instance")
                           .arg(lockFile, systemError(errno)));
            return std::nullopt;
        }
        const QString socket = holderSocket();
        switch (InstanceChannel::handOver(QFile::encodeName(socket).toStdString(), patience)) {
        case InstanceChannel::HandOver::answered: return Claim::handedOver;
        case InstanceChannel::HandOver::unanswered: return Claim::unanswered;
        case InstanceChannel::HandOver::foreign:
            if (!foreignReported)
                Log::error(QStringLiteral("Ignoring %1: it is served by another user").arg(socket));
            foreignReported = true;
            break;
        case InstanceChannel::HandOver::unreachable:
        case InstanceChannel::HandOver::declined: break;
        }
        // The running instance may be between taking the lock and listening, or quitting: its
        // lock is then free soon.
        if (Clock::now() >= deadline)
            return Claim::unanswered;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

void SingleInstance::listen()
{
    if (paths_.socket.isEmpty())
        return;
    sockaddr_un address{};
    if (!InstanceChannel::socketAddress(QFile::encodeName(paths_.socket).toStdString(), address)) {
        Log::error(QStringLiteral("%1 is too long a socket path: launching Tavlin again cannot reach this instance")
                       .arg(paths_.socket));
        return;
    }
    // We hold the lock, and the folder is ours alone: whatever is there was left by a crash.
    ::unlink(address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::chmod(address.sun_path, 0600) != 0 || ::listen(fd, 16) != 0) {
        Log::error(QStringLiteral("Cannot listen on %1 (%2): launching Tavlin again cannot reach this instance")
                       .arg(paths_.socket, systemError(errno)));
        if (fd >= 0)
            ::close(fd);
        return;
    }
    // The file's own inode, by which a socket put in its place is told apart.
    struct stat info { };
    socketInode_ = ::lstat(address.sun_path, &info) == 0 ? info.st_ino : 0;
    listenFd_ = fd;
}

void SingleInstance::serve(std::function<void()> onReopen, std::function<bool()> quitting)
{
    onReopen_ = std::move(onReopen);
    quitting_ = std::move(quitting);
    if (listenFd_ >= 0) {
        server_ = std::make_unique<InstanceServer>(listenFd_, onReopen_, quitting_);
        listenFd_ = -1; // the server owns it now
    }
    // A cleaner of the temporary folder, or a user tidying up, may delete the socket, its folder
    // or the locks, also while this instance was still starting: later launches would then find
    // the history taken and nobody to ask, or no lock at all.
    watcher_ = std::make_unique<QFileSystemWatcher>();
    const auto check = [this] { remakeWhatWasDeleted(); };
    QObject::connect(watcher_.get(), &QFileSystemWatcher::fileChanged, watcher_.get(), check);
    QObject::connect(watcher_.get(), &QFileSystemWatcher::directoryChanged, watcher_.get(), check);
    remakeWhatWasDeleted();
}

void SingleInstance::stopServing()
{
    stopped_ = true;
    watcher_.reset();
    server_.reset(); // the launches waiting for an answer are closed unanswered
    if (listenFd_ >= 0)
        ::close(listenFd_);
    listenFd_ = -1;
    // A launch then finds nobody at once, rather than a socket that refuses it.
    struct stat info { };
    const QByteArray socket = QFile::encodeName(paths_.socket);
    if (socketInode_ != 0 && ::lstat(socket.constData(), &info) == 0 && info.st_ino == socketInode_)
        ::unlink(socket.constData());
}

void SingleInstance::remakeWhatWasDeleted()
{
    // Something deleted again between making it and watching it is caught by the next round.
    for (int round = 0; round < 3 && !stopped_; ++round) {
        bool remade = false;
        if (server_) {
            struct stat info { };
            const QByteArray socket = QFile::encodeName(paths_.socket);
            const bool socketKept = ::lstat(socket.constData(), &info) == 0 && S_ISSOCK(info.st_mode)
                && info.st_ino == socketInode_;
            const bool lockKept = stillAt(lockFd_, paths_.lockFile);
            if (!socketKept || !lockKept) {
                const QString folder = QFileInfo(paths_.socket).absolutePath();
                InstanceChannel::settlePrivateFolder(QFile::encodeName(folder).toStdString(), false);
                // A launch from there must find the lock taken again.
                if (!lockKept)
                    retakeRuntimeLock();
                if (!socketKept) {
                    Log::error(QStringLiteral("%1 was deleted: listening there again").arg(paths_.socket));
                    listen();
                    if (listenFd_ >= 0) {
                        server_ = std::make_unique<InstanceServer>(listenFd_, onReopen_, quitting_);
                        listenFd_ = -1;
                    }
                }
                remade = true;
            }
        }
        if (historyLockFd_ >= 0 && !stillAt(historyLockFd_, paths_.historyLock)) {
            rewriteHistoryLock();
            remade = true;
        }
        watch(remade);
        if (!remade)
            return;
    }
}

void SingleInstance::retakeRuntimeLock()
{
    if (lockFd_ >= 0)
        ::close(lockFd_);
    lockFd_ = -1;
    takeRuntimeLock();
    // Taken meanwhile by a launch, which then finds the history's lock held and hands over: taken
    // again at the next look.
    if (lockFd_ >= 0 && ::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(lockFd_);
        lockFd_ = -1;
    }
}

void SingleInstance::rewriteHistoryLock()
{
    const QByteArray lockFile = QFile::encodeName(paths_.historyLock);
    const int fd = ::open(lockFile.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    struct stat info { };
    if (fd < 0 || ::fstat(fd, &info) != 0 || info.st_uid != ::geteuid()) {
        Log::error(QStringLiteral("%1 was deleted and cannot be made again (%2): a launch with another runtime "
                                  "folder may not reach this instance")
                       .arg(paths_.historyLock, systemError(fd < 0 ? errno : EPERM)));
        if (fd >= 0)
            ::close(fd);
        return;
    }
    Log::error(QStringLiteral("%1 was deleted: made again").arg(paths_.historyLock));
    // A launch that made it meanwhile may hold it: it learns from the name written here whom to ask,
    // and the folder's lock keeps it out.
    ::flock(fd, LOCK_EX | LOCK_NB);
    if (server_)
        nameSocketIn(fd);
    ::close(historyLockFd_);
    historyLockFd_ = fd;
}

void SingleInstance::watch(bool again)
{
    // A watch stays with the file it was set on, deleted or not: what is made in its place needs
    // a watch of its own.
    if (again) {
        const QStringList watched = watcher_->files() + watcher_->directories();
        if (!watched.isEmpty())
            watcher_->removePaths(watched);
    }
    QStringList wanted;
    if (server_)
        wanted << QFileInfo(paths_.socket).absolutePath() << paths_.socket << paths_.lockFile;
    if (historyLockFd_ >= 0)
        wanted << paths_.historyLock;
    const QStringList watched = watcher_->files() + watcher_->directories();
    wanted.removeIf([&](const QString& path) { return watched.contains(path) || !QFileInfo::exists(path); });
    if (!wanted.isEmpty())
        watcher_->addPaths(wanted);
}

} // namespace tavlin
