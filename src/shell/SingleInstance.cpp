#include "SingleInstance.h"

#include "InstanceChannel.h"
#include "InstanceServer.h"
#include "Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

} // namespace

SingleInstance::Paths SingleInstance::defaultPaths(const QString& dataFolder)
{
    // The lock lives beside the socket, so that a data folder that cannot be written to (a
    // read-only disk) does not let a second instance start; the data folder is the last resort.
    const QString folder = QFile::decodeName(InstanceChannel::instanceFolder().c_str());
    if (!folder.isEmpty())
        return Paths{folder + u'/' + runtimeLockName, folder + u'/' + socketName};
    Log::error(QStringLiteral("Neither $XDG_RUNTIME_DIR nor %1 can be a private folder of this user: launching "
                              "Tavlin again cannot reach this instance")
                   .arg(QDir::tempPath() + QStringLiteral("/tavlin-%1").arg(::geteuid())));
    return Paths{dataFolder + u'/' + lockFileName, QString()};
}

SingleInstance::SingleInstance(Paths paths) : paths_(std::move(paths))
{
}

SingleInstance::~SingleInstance()
{
    server_.reset();
    if (listenFd_ >= 0)
        ::close(listenFd_);
    if (lockFd_ >= 0)
        ::close(lockFd_); // releases the lock
}

SingleInstance::Claim SingleInstance::claim(std::chrono::milliseconds patience)
{
    const QString folder = QFileInfo(paths_.lockFile).absolutePath();
    if (!QFile::exists(folder) && QDir().mkpath(folder))
        ::chmod(QFile::encodeName(folder).constData(), 0700);
    const QByteArray lockFile = QFile::encodeName(paths_.lockFile);
    lockFd_ = ::open(lockFile.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    struct stat lockInfo { };
    if (lockFd_ >= 0 && ::fstat(lockFd_, &lockInfo) == 0 && lockInfo.st_uid != ::geteuid()) {
        // Left by another user while the folder was open to others: whoever holds it is not us.
        ::close(lockFd_);
        ::unlink(lockFile.constData());
        lockFd_ = ::open(lockFile.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    }
    if (lockFd_ < 0) {
        Log::error(QStringLiteral("Cannot open %1 (%2): another launch of Tavlin may start a second instance")
                       .arg(paths_.lockFile, systemError(errno)));
        return Claim::first;
    }

    const Clock::time_point deadline = Clock::now() + patience;
    bool foreignReported = false;
    while (true) {
        if (::flock(lockFd_, LOCK_EX | LOCK_NB) == 0) {
            listen();
            return Claim::first;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            Log::error(QStringLiteral("Cannot lock %1 (%2): another launch of Tavlin may start a second instance")
                           .arg(paths_.lockFile, systemError(errno)));
            listen();
            return Claim::first;
        }
        switch (handOver(patience)) {
        case InstanceChannel::HandOver::answered: return Claim::handedOver;
        case InstanceChannel::HandOver::unanswered: return Claim::unanswered;
        case InstanceChannel::HandOver::foreign:
            if (!foreignReported)
                Log::error(QStringLiteral("Ignoring %1: it is served by another user").arg(paths_.socket));
            foreignReported = true;
            break;
        case InstanceChannel::HandOver::unreachable: break;
        }
        // The running instance may be between taking the lock and listening.
        if (Clock::now() >= deadline)
            return Claim::unanswered;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

InstanceChannel::HandOver SingleInstance::handOver(std::chrono::milliseconds patience) const
{
    return InstanceChannel::handOver(QFile::encodeName(paths_.socket).toStdString(), patience);
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
    listenFd_ = fd;
}

void SingleInstance::serve(std::function<void()> onReopen)
{
    if (listenFd_ < 0)
        return;
    server_ = std::make_unique<InstanceServer>(listenFd_, std::move(onReopen));
    listenFd_ = -1; // the server owns it now
}

} // namespace tavlin
