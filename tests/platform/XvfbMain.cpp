// Runs the X11 tests on a private Xvfb server of their own, started here for the process and
// ended with it, so they need no display, leave the user's clipboard alone, and run in parallel.
#include "../support/PrivateXvfb.h"
#include "../support/ThrowAwayHome.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::string(argv[i]).rfind("--gtest_list_tests", 0) == 0;
    ::testing::InitGoogleTest(&argc, argv);
    if (listing)
        return RUN_ALL_TESTS();

    const tavlin::test::ThrowAwayHome home;
    const tavlin::test::PrivateXvfb server;
    if (!server.started()) {
        std::fprintf(stderr, "cannot start Xvfb (is the xvfb package installed?)\n");
        return 1;
    }
    QGuiApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
