#pragma once

#include <chrono>
#include <string>

#include <sys/un.h>

namespace tavlin {

// The channel by which a later launch asks the running Tavlin to reopen: a Unix socket in a
// folder of this user's alone, one line "reopen" answered by "ok". Plain POSIX, without Qt, so
// that the launcher can use it before any library of the application is loaded
// (SingleInstance uses it too).
namespace InstanceChannel {

inline constexpr const char* socketName = "org.tavlin.Tavlin.socket";
inline constexpr const char* lockName = "org.tavlin.Tavlin.lock";
inline constexpr char reopenMessage[] = "reopen\n";
inline constexpr char acknowledgement[] = "ok\n";
// The environment variable by which the `tavlin` launcher names itself to the application it
// becomes.
inline constexpr const char* launcherVariable = "TAVLIN_LAUNCHER";

enum class HandOver {
    answered, // the running instance said it reopens
    unreachable, // nobody listens there (yet, or any more)
    foreign, // another user listens there
    unanswered, // it took the request but gave no answer within the patience
};

// A folder of this user's alone: a real folder (no link), owned by us, closed to everyone else.
// Never repaired here: Qt's own runtime-folder lookup would "fix" the permissions of whatever
// $XDG_RUNTIME_DIR names, even a shared folder.
bool isPrivateFolder(const std::string& path);

// The address of the socket at `path`; false when the path is empty or too long for one.
bool socketAddress(const std::string& path, sockaddr_un& address);

// Whether the other end of a connected socket runs as this user (SO_PEERCRED).
bool peerIsThisUser(int fd);

// The socket a running instance listens on, as SingleInstance::defaultPaths names it, when its
// folder is there and private; empty otherwise.
std::string runningSocket();

// Asks the instance listening on `socket` to reopen, and waits up to `patience` for its answer.
HandOver handOver(const std::string& socket, std::chrono::milliseconds patience);

} // namespace InstanceChannel

} // namespace tavlin
