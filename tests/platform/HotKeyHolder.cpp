// A separate process that holds a global hot key until it is ended, so a test can see that the
// combination is free again once the process is gone. Arguments: key code, modifier bits.
#include "X11HotKeyBackend.h"

#include <QGuiApplication>

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 3)
        return 2;
    tavlin::X11HotKeyBackend backend;
    try {
        backend.registerHotKey({quint32(std::stoul(argv[1])), quint32(std::stoul(argv[2]))});
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return application.exec();
}
