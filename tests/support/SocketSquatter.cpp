#include "SocketSquatter.h"

#include "TemporaryFolder.h"

#include <chrono>
#include <csignal>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tavlin::test {

SocketSquatter::SocketSquatter(const QString& path) : path_(path)
{
    sockaddr_un address{};
    if (!unixSocketAddress(path, address))
        return; // never listening
    child_ = ::fork();
    if (child_ != 0)
        return;
    // The child: POSIX calls only.
    if (::geteuid() == 0 && (::setgid(unprivilegedUserID) != 0 || ::setuid(unprivilegedUserID) != 0))
        ::_exit(100);
    const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ::umask(0);
    if (server < 0 || ::bind(server, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::listen(server, 16) != 0)
        ::_exit(101);
    while (true) {
        const int client = ::accept(server, nullptr, nullptr);
        if (client < 0)
            continue;
        // Answers the way Tavlin does: once the request line is in.
        char byte = 0;
        while (::read(client, &byte, 1) == 1 && byte != '\n') { }
        [[maybe_unused]] const ssize_t written = ::send(client, "ok\n", 3, MSG_NOSIGNAL);
        ::close(client);
    }
}

SocketSquatter::~SocketSquatter()
{
    if (child_ > 0) {
        ::kill(child_, SIGKILL);
        ::waitpid(child_, nullptr, 0);
    }
}

bool SocketSquatter::waitUntilListening()
{
    sockaddr_un address{};
    if (child_ < 0 || !unixSocketAddress(path_, address))
        return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        const int probe = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool connected = ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        ::close(probe);
        if (connected)
            return true;
        if (::waitpid(child_, nullptr, WNOHANG) == child_) {
            child_ = -1;
            return false; // it could not listen
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

} // namespace tavlin::test
