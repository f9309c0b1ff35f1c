// Tavlin's entry point: the start-up guard, the hand-over to a running instance, then the
// application with its delegate until it quits. SIGTERM, SIGINT and SIGHUP stop it in order.
#include "AppDelegate.h"
#include "Defaults.h"
#include "SingleInstance.h"
#include "TavlinLanguage.h"
#include "X11WindowProperties.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

} // namespace

int main(int argc, char** argv)
{
    // Before anything else, the application object included: no display needed, no file made.
    if (std::getenv("TAVLIN_ISOLATED_PROFILE")) {
        std::fputs("Tavlin refused to start: isolationRequiresDebug\n", stdout);
        return 1;
    }

    const QString socketPath = tavlin::SingleInstance::defaultSocketPath();
    if (tavlin::SingleInstance::handOver(socketPath))
        return 0;

    // Large passing buffers (a clipboard read, a payload being stored) go back to the system when
    // freed. Left to itself, glibc raises this threshold to the largest buffer it freed and keeps
    // later ones in the heap, where a refused 20 MB copy stays resident for good.
    ::mallopt(M_MMAP_THRESHOLD, 128 * 1024);

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavlin"));
    QApplication::setOrganizationDomain(QStringLiteral("tavlin.org"));
    QApplication::setDesktopFileName(QStringLiteral("org.tavlin.Tavlin"));
    QApplication::setQuitOnLastWindowClosed(false);
    tavlin::X11WindowProperties windowProperties;
    tavlin::WindowProperties::install(&windowProperties);

    if (::pipe(signalPipe) != 0)
        return 1;
    for (const int number : {SIGTERM, SIGINT, SIGHUP})
        std::signal(number, onSignal);

    tavlin::AppDelegate::Platform platform = tavlin::AppDelegate::realPlatform();
    tavlin::TavlinLanguage::install(*platform.defaults);
    tavlin::AppDelegate delegate(std::move(platform));

    tavlin::SingleInstance instance(socketPath);
    QObject::connect(&instance, &tavlin::SingleInstance::reopenRequested, &delegate, &tavlin::AppDelegate::reopen);
    instance.listen();

    QSocketNotifier signals(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signals, &QSocketNotifier::activated, &application, [] { QCoreApplication::quit(); });
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &delegate, &tavlin::AppDelegate::shutdown);

    delegate.startServices();
    return application.exec();
}
