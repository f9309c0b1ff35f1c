// Tavlin's entry point: the start-up guard, the command line, the display check, the one-instance
// lock (or the hand-over to the running instance), then the application with its delegate until it
// quits.
// SIGTERM, SIGINT and SIGHUP stop it in order.
#include "AccessibleLineEdit.h"
#include "AppDelegate.h"
#include "CommandLine.h"
#include "Defaults.h"
#include "HistoryModel.h"
#include "KeyboardMenus.h"
#include "PlistDefaults.h"
#include "SingleInstance.h"
#include "TavlinLanguage.h"
#include "TavlinStyle.h"
#include "X11Display.h"

#include <QApplication>
#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};
// Set at once, before the event loop reads the pipe: a launch whose request is read in between
// must not be told that this instance reopens.
volatile std::sig_atomic_t quitSignalled = 0;

void onSignal(int)
{
    quitSignalled = 1;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

// Says on standard error, in the interface language, why Tavlin does not start.
int refuse(int& argc, char** argv, const char* text, const QString& argument = {})
{
    QCoreApplication core(argc, argv);
    tavlin::PlistDefaults defaults;
    tavlin::TavlinLanguage::install(defaults);
    QString message = QCoreApplication::translate("Tavlin", text);
    if (!argument.isNull())
        message = message.arg(argument);
    std::fputs(qPrintable(message + u'\n'), stderr);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    // Before anything else, the application object included: no display needed, no file made.
    if (std::getenv("TAVLIN_ISOLATED_PROFILE")) {
        std::fputs("Tavlin refused to start: isolationRequiresDebug\n", stdout);
        return 1;
    }
    // --help and --version are answered without starting Tavlin or disturbing a running one.
    if (const std::optional<int> status = tavlin::CommandLine::answer(argc, argv))
        return *status;

    // The display before anything is written: a Tavlin that cannot start leaves no lock, socket or
    // history folder behind. A running one is still reached, through the sockets it already named.
    const QString dataFolder = QFileInfo(tavlin::HistoryModel::defaultDatabasePath()).absolutePath();
    if (const tavlin::X11Display::Problem problem = tavlin::X11Display::check();
        problem != tavlin::X11Display::Problem::none) {
        if (tavlin::SingleInstance::handOverToRunning(dataFolder))
            return 0;
        if (problem == tavlin::X11Display::Problem::notSet)
            return refuse(argc, argv, QT_TRANSLATE_NOOP("Tavlin", "Tavlin needs an X11 display: DISPLAY is not set."));
        return refuse(argc, argv, QT_TRANSLATE_NOOP("Tavlin", "Tavlin needs an X11 display: cannot connect to %1."),
                      qEnvironmentVariable("DISPLAY"));
    }

    tavlin::SingleInstance instance(tavlin::SingleInstance::defaultPaths(dataFolder));
    switch (instance.claim()) {
    case tavlin::SingleInstance::Claim::first: break;
    case tavlin::SingleInstance::Claim::handedOver: return 0;
    case tavlin::SingleInstance::Claim::unanswered:
        return refuse(argc, argv,
                      QT_TRANSLATE_NOOP("Tavlin",
                                        "Tavlin is already running but does not answer. "
                                        "If it is stuck, end it and start Tavlin again."));
    }

    // Large passing buffers (a clipboard read, a payload being stored) go back to the system when
    // freed. Left to itself, glibc raises this threshold to the largest buffer it freed and keeps
    // later ones in the heap, where a refused 20 MB copy stays resident for good.
    ::mallopt(M_MMAP_THRESHOLD, 128 * 1024);

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavlin"));
    QApplication::setOrganizationDomain(QStringLiteral("tavlin.org"));
    QApplication::setDesktopFileName(QStringLiteral("org.tavlin.Tavlin"));
    QApplication::setQuitOnLastWindowClosed(false);
    tavlin::TavlinStyle::install();
    tavlin::AccessibleLineEdit::install();
    tavlin::KeyboardMenus::install();

    if (::pipe(signalPipe) != 0)
        return 1;
    for (const int number : {SIGTERM, SIGINT, SIGHUP})
        std::signal(number, onSignal);
    // A relaunched Tavlin inherits the standard error of the terminal that started the first one;
    // once that terminal is gone, a log line must fail quietly instead of killing the process.
    std::signal(SIGPIPE, SIG_IGN);

    tavlin::AppDelegate::Platform platform = tavlin::AppDelegate::realPlatform(); // the interface's language too
    tavlin::AppDelegate delegate(std::move(platform));

    instance.serve([&delegate] { delegate.reopen(); }, [&delegate] { return quitSignalled || delegate.quitting(); });

    // A quitting Tavlin stops answering first, before the slow parts of shutting down: a launch
    // meanwhile waits for it to go and then starts.
    QSocketNotifier signals(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signals, &QSocketNotifier::activated, &application, [&instance] {
        instance.stopServing();
        QCoreApplication::quit();
    });
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &application,
                     [&instance] { instance.stopServing(); });
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &delegate, &tavlin::AppDelegate::shutdown);

    delegate.startServices();
    return application.exec();
}
