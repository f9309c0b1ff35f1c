#pragma once
// Header-only: test mains that link nothing else from this folder include it.
#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavlin::test {

// A private Xvfb server for the test process, on a display it picks itself (-displayfd), which
// DISPLAY names for as long as this lives: the X tests then need no display, leave the user's
// clipboard alone and run in parallel. Started with no command line of a shell between, so any
// temporary folder or home path will do.
class PrivateXvfb {
public:
    PrivateXvfb()
    {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0)
            return;
        server_ = ::fork();
        if (server_ == 0) {
            ::close(pipeFds[0]);
            ::prctl(PR_SET_PDEATHSIG, SIGTERM); // never outlive the tests
            const std::string fd = std::to_string(pipeFds[1]);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0", "1024x768x24",
                     static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(pipeFds[1]);
        std::string number;
        pollfd descriptor{pipeFds[0], POLLIN, 0};
        char c = 0;
        while (server_ > 0 && ::poll(&descriptor, 1, 20000) > 0 && ::read(pipeFds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(pipeFds[0]);
        if (number.empty())
            return;
        display_ = ":" + number;
        ::setenv("DISPLAY", display_.c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        ::unsetenv("WAYLAND_DISPLAY");
    }
    ~PrivateXvfb()
    {
        if (server_ > 0) {
            ::kill(server_, SIGTERM);
            ::waitpid(server_, nullptr, 0);
        }
    }
    PrivateXvfb(const PrivateXvfb&) = delete;
    PrivateXvfb& operator=(const PrivateXvfb&) = delete;

    // Whether the server runs, DISPLAY naming it.
    bool started() const { return !display_.empty(); }

private:
    pid_t server_ = -1;
    std::string display_;
};

} // namespace tavlin::test
