#include "InstanceChannel.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavlin::InstanceChannel {

namespace {

using Clock = std::chrono::steady_clock;

int remainingMilliseconds(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return int(std::clamp<long long>(left, 0, INT_MAX));
}

// The temporary folder as Qt names it: $TMPDIR, else /tmp, with its links resolved.
std::string temporaryFolder()
{
    const char* variable = std::getenv("TMPDIR");
    const std::string folder = variable && *variable ? variable : "/tmp";
    char resolved[PATH_MAX];
    return ::realpath(folder.c_str(), resolved) ? std::string(resolved) : folder;
}

// Whether `path` is already a folder of this user's alone that we may write to, as
// settlePrivateFolder leaves one; nothing is made or changed.
bool isPrivateFolder(const std::string& path)
{
    struct stat info { };
    return !path.empty() && path.front() == '/' && ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)
        && info.st_uid == ::geteuid() && (info.st_mode & 0777) == 0700 && ::access(path.c_str(), W_OK | X_OK) == 0;
}

// The folder of the lock and the socket. With `settle`, made or set back to private as the rule
// says; without, only found where it already stands.
std::string findInstanceFolder(bool settle)
{
    // A socket's path has at most 107 bytes, which a deep folder, or one named in a script of two
    // bytes a letter, passes: the socket could not be made there, nor a launch reach the instance.
    const auto holdsSocket = [](const std::string& folder) {
        return folder.size() + 1 + std::strlen(socketName) < sizeof(sockaddr_un::sun_path);
    };
    const auto usable = [settle](const std::string& folder, bool repair) {
        return settle ? settlePrivateFolder(folder, repair) : isPrivateFolder(folder);
    };
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && holdsSocket(runtime) && usable(runtime, false))
        return runtime;
    const std::string own = "/tavlin-" + std::to_string(::geteuid());
    const std::string temporary = temporaryFolder();
    const std::string fallback = (holdsSocket(temporary + own) ? temporary : std::string("/tmp")) + own;
    return usable(fallback, true) ? fallback : std::string();
}

} // namespace

Request request(std::string_view received)
{
    const std::size_t end = received.find('\n');
    if (end == std::string_view::npos)
        return received.size() < requestLimit ? Request::incomplete : Request::refused;
    return received.substr(0, end + 1) == reopenMessage ? Request::reopen : Request::refused;
}

bool settlePrivateFolder(const std::string& path, bool repair)
{
    if (path.empty() || path.front() != '/')
        return false;
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info { };
    if (::lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        return false;
    if ((info.st_mode & 0777) != 0700
        && (!repair || ::fchmodat(AT_FDCWD, path.c_str(), 0700, AT_SYMLINK_NOFOLLOW) != 0))
        return false;
    return ::access(path.c_str(), W_OK | X_OK) == 0;
}

std::string instanceFolder()
{
    return findInstanceFolder(true);
}

bool socketAddress(const std::string& path, sockaddr_un& address)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.data(), path.size());
    return true;
}

bool peerIsThisUser(int fd)
{
    ucred credentials{};
    socklen_t length = sizeof credentials;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0 && credentials.uid == ::geteuid();
}

std::string runningSocket()
{
    const std::string folder = findInstanceFolder(false);
    return folder.empty() ? folder : folder + '/' + socketName;
}

HandOver handOver(const std::string& socket, std::chrono::milliseconds patience)
{
    sockaddr_un address{};
    struct stat info { };
    if (!socketAddress(socket, address) || ::lstat(socket.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode))
        return HandOver::unreachable;
    if (info.st_uid != ::geteuid())
        return HandOver::foreign;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return HandOver::unreachable;
    const auto result = [fd](HandOver outcome) {
        ::close(fd);
        return outcome;
    };
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return result(HandOver::unreachable); // nobody there yet, or a socket left by a crash
    if (!peerIsThisUser(fd))
        return result(HandOver::foreign);
    const ssize_t length = ssize_t(std::strlen(reopenMessage));
    if (::send(fd, reopenMessage, std::size_t(length), MSG_NOSIGNAL) != length)
        return result(errno == EPIPE || errno == ECONNRESET ? HandOver::declined : HandOver::unanswered);

    // Wait for the answer, so a stopped or hung instance does not swallow the launch silently.
    const Clock::time_point deadline = Clock::now() + patience;
    std::string answer;
    while (answer.find('\n') == std::string::npos) {
        pollfd readable{fd, POLLIN, 0};
        const int ready = ::poll(&readable, 1, remainingMilliseconds(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return result(HandOver::unanswered);
        char buffer[16];
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        // Closed unanswered: it stopped listening while this request waited (it quits).
        if (count == 0 || (count < 0 && (errno == ECONNRESET || errno == EPIPE)))
            return result(HandOver::declined);
        if (count < 0)
            return result(errno == EAGAIN ? HandOver::unreachable : HandOver::unanswered);
        answer.append(buffer, std::size_t(count));
    }
    return result(answer.rfind(acknowledgement, 0) == 0 ? HandOver::answered : HandOver::unanswered);
}

} // namespace tavlin::InstanceChannel
