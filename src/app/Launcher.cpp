// What `tavlin` runs first: a small program without Qt. A launch while Tavlin runs hands over to
// it at once, before any library of the application is loaded (loading and binding them costs
// more than the whole hand-over); every other launch becomes the application itself, in the same
// process, which then does all the rest (the lock, the command line, the messages).
#include "InstanceChannel.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

std::string ownPath()
{
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, std::size_t(length)) : std::string();
}

} // namespace

int main(int argc, char** argv)
{
    using namespace tavlin;
    // Only a plain launch is a request to reopen; anything else is for the application to answer.
    if (argc == 1 && !std::getenv("TAVLIN_ISOLATED_PROFILE")) {
        const std::string socket = InstanceChannel::runningSocket();
        // A running instance answers at once. One that does not, or declines because it is
        // quitting, is left to the application, which waits for its lock and then starts, or says
        // it does not answer.
        if (!socket.empty()
            && InstanceChannel::handOver(socket, std::chrono::seconds(1)) == InstanceChannel::HandOver::answered)
            return 0;
    }
    // Found by the launcher's own location, never by the working folder or PATH.
    const std::string self = ownPath();
    if (self.empty()) {
        std::fprintf(stderr, "tavlin: cannot tell where this program is: %s\n", std::strerror(errno));
        return 127;
    }
    const std::string folder = self.substr(0, self.rfind('/') + 1);
    ::setenv(InstanceChannel::launcherVariable, self.c_str(), 1);
    char name[] = "tavlin";
    char* fallback[] = {name, nullptr};
    // Beside the launcher in a build, in the private program folder once installed.
    for (const char* relative : {TAVLIN_APPLICATION_NAME, TAVLIN_INSTALLED_APPLICATION})
        ::execv((folder + relative).c_str(), argc > 0 ? argv : fallback);
    std::fprintf(stderr, "tavlin: cannot start %s: %s\n", (folder + TAVLIN_INSTALLED_APPLICATION).c_str(),
                 std::strerror(errno));
    return 127;
}
