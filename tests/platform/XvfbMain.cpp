// Runs the X11 tests on a private Xvfb server of their own, started here for the process and
// ended with it, so they need no display, leave the user's clipboard alone, and run in parallel.
#include "../support/ThrowAwayHome.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

pid_t xvfb = -1;

void stopXvfb()
{
    if (xvfb > 0) {
        ::kill(xvfb, SIGTERM);
        ::waitpid(xvfb, nullptr, 0);
        xvfb = -1;
    }
}

// Starts Xvfb on a free display (it picks one and writes its number to a pipe); returns ":N".
std::string startXvfb()
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {};
    xvfb = ::fork();
    if (xvfb == 0) {
        ::close(pipeFds[0]);
        ::prctl(PR_SET_PDEATHSIG, SIGTERM); // never outlive the tests
        const std::string fd = std::to_string(pipeFds[1]);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0", "1024x768x24",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    std::string display;
    pollfd descriptor{pipeFds[0], POLLIN, 0};
    char c = 0;
    while (::poll(&descriptor, 1, 20000) > 0 && ::read(pipeFds[0], &c, 1) == 1 && c != '\n')
        display += c;
    ::close(pipeFds[0]);
    return display.empty() ? std::string() : ":" + display;
}

} // namespace

int main(int argc, char** argv)
{
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::string(argv[i]).rfind("--gtest_list_tests", 0) == 0;
    ::testing::InitGoogleTest(&argc, argv);
    if (listing)
        return RUN_ALL_TESTS();

    const tavlin::test::ThrowAwayHome home;
    const std::string display = startXvfb();
    if (display.empty()) {
        std::fprintf(stderr, "cannot start Xvfb (is the xvfb package installed?)\n");
        stopXvfb();
        return 1;
    }
    ::setenv("DISPLAY", display.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    ::unsetenv("WAYLAND_DISPLAY");
    int result = 1;
    {
        QGuiApplication application(argc, argv);
        result = RUN_ALL_TESTS();
    }
    stopXvfb();
    return result;
}
