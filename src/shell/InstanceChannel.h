#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include <sys/un.h>

namespace tavlin {

// The channel by which a later launch asks the running Tavlin to reopen: a Unix socket in a
// folder of this user's alone, one line "reopen" answered by "ok". "ok" means the instance reopens
// and stays; one that has begun to quit closes the connection unanswered, or no longer listens,
// and the launch then waits for its lock to be free and starts Tavlin itself. Plain POSIX, without
// Qt, so that the launcher can use it before any library of the application is loaded
// (SingleInstance uses it too).
namespace InstanceChannel {

inline constexpr const char* socketName = "org.tavlin.Tavlin.socket";
inline constexpr const char* lockName = "org.tavlin.Tavlin.lock";
inline constexpr char reopenMessage[] = "reopen\n";
inline constexpr char acknowledgement[] = "ok\n";
// The longest request taken, newline included: anything longer is refused unread.
inline constexpr std::size_t requestLimit = 32;
// The environment variable by which the `tavlin` launcher names itself to the application it
// becomes.
inline constexpr const char* launcherVariable = "TAVLIN_LAUNCHER";

enum class HandOver {
    answered, // the running instance said it reopens
    unreachable, // nobody listens there (yet, or any more)
    foreign, // another user listens there
    unanswered, // it took the request but gave no answer within the patience
    declined, // it closed the connection unanswered: it is quitting (or was crowded out); ask again
};

enum class Request {
    incomplete, // no newline yet, and still short enough to wait for one
    reopen,
    refused, // another line, or too long a one
};

// What the bytes a client sent so far ask for.
Request request(std::string_view received);

// Whether `path` is a folder of this user's alone that we may write to: made 0700 when missing.
// With `repair`, a folder of ours whose mode differs is put back to 0700; without it, such a folder
// is passed over. The desktop's $XDG_RUNTIME_DIR is not ours to change (Qt too leaves a wrong one
// alone and goes elsewhere), only our own fallback folder is. False for a relative path, a link, a
// folder of another user or one we cannot write to.
bool settlePrivateFolder(const std::string& path, bool repair);

// The folder of the lock and the socket, by the one rule the launcher and the application both
// follow: $XDG_RUNTIME_DIR when it is private as it stands (or missing, and then made), otherwise
// "tavlin-<uid>" in the temporary folder, made or set back to private; empty when neither can be.
// A folder too deep for the socket's path is passed over, the temporary folder for /tmp.
std::string instanceFolder();

// The address of the socket at `path`; false when the path is empty or too long for one.
bool socketAddress(const std::string& path, sockaddr_un& address);

// Whether the other end of a connected socket runs as this user (SO_PEERCRED).
bool peerIsThisUser(int fd);

// The socket a running instance listens on, in instanceFolder(); empty without one. Only looked
// for: no folder is made or changed, as a launch writes nothing before it knows it starts Tavlin.
// A missing folder holds no instance; one not private as it stands is left to the application's
// claim, which sets it right.
std::string runningSocket();

// Asks the instance listening on `socket` to reopen, and waits up to `patience` for its answer.
// Only a socket of this user's is asked, never what a link there points to.
HandOver handOver(const std::string& socket, std::chrono::milliseconds patience);

} // namespace InstanceChannel

} // namespace tavlin
