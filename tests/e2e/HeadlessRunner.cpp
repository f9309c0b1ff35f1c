// Runs the history engine as the application does, without any window: the model on the real
// X11 clipboard, a database in the folder given on the command line, the monitoring loop. The
// end-to-end tests drive it through its standard input:
//   "list"        prints one line "clip <id> <kind> <text>" per record of the first page, then "end"
//   "copy <id>"   copies that record back and prints "copied 1" or "copied 0"
//   "error"       prints "error <message>" (empty when none)
//   "active"      prints "active <application id>" of the window a copy would be attributed to now
// It prints "ready" once monitoring runs and exits 0 on SIGTERM or at the end of its input.
#include "HistoryModel.h"
#include "X11Pasteboard.h"
#include "X11Workspace.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <qcoro/qcorotask.h>

#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace tavlin;

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

void say(const QString& line)
{
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

QCoro::Task<> handle(HistoryModel& model, const X11Workspace& workspace, QString command)
{
    if (command == QStringLiteral("list")) {
        co_await model.browser().reload();
        for (const Clip& clip : model.browser().clips())
            say(QStringLiteral("clip %1 %2 %3")
                    .arg(clip.id)
                    .arg(toRaw(clip.kind), clip.text.left(200).replace(u'\n', u' ')));
        say(QStringLiteral("end"));
    } else if (command.startsWith(QStringLiteral("copy "))) {
        const qint64 id = command.mid(5).toLongLong();
        for (const Clip& clip : model.browser().clips()) {
            if (clip.id == id) {
                const bool copied = co_await model.operations().copy(clip);
                say(QStringLiteral("copied %1").arg(copied ? 1 : 0));
                co_return;
            }
        }
        say(QStringLiteral("copied 0"));
    } else if (command == QStringLiteral("error")) {
        say(QStringLiteral("error ") + model.browser().errorMessage().value_or(QString()));
    } else if (command == QStringLiteral("active")) {
        say(QStringLiteral("active ") + workspace.frontmostApplicationID().value_or(QString()));
    }
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (application.arguments().size() < 2) {
        std::fputs("usage: tavlin_headless_runner DATABASE\n", stderr);
        return 2;
    }
    if (::pipe(signalPipe) != 0)
        return 1;
    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);

    X11Workspace workspace;
    X11Pasteboard pasteboard;
    pasteboard.setWindowApplication(
        [&workspace](quint32 window) { return workspace.applicationIDForClientOf(window); });
    HistoryModel model(application.arguments().at(1), pasteboard, workspace);

    QSocketNotifier signals(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signals, &QSocketNotifier::activated, &application, [&] {
        model.monitor().stopMonitoring();
        application.quit();
    });
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &application, [&] {
        char line[4096];
        if (!std::fgets(line, sizeof line, stdin)) {
            input.setEnabled(false);
            model.monitor().stopMonitoring();
            application.quit();
            return;
        }
        handle(model, workspace, QString::fromUtf8(line).trimmed());
    });

    auto monitoring = model.monitor().runMonitoring();
    say(QStringLiteral("ready"));
    return application.exec();
}
