// A small program for the language tests, run as a child process.
//
//   language_probe language   installs the interface language from the defaults file named by
//                             TAVLIN_PROBE_DEFAULTS and prints what the start-up gave it
//   language_probe            appends "started <pid> <previous>" to TAVLIN_PROBE_LOG, where
//                             <previous> tells whether the instance logged before it still
//                             exists; the first instance relaunches itself for a language
//                             change (taking its time to quit), the second reads the reopen
//                             marker and logs "reopen <section>"
#include "ApplicationRelauncher.h"
#include "PlistDefaults.h"
#include "TavlinLanguage.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QTextStream>
#include <QTimer>

#include <csignal>
#include <unistd.h>

using namespace tavlin;

namespace {

void appendLine(const QString& path, const QString& line)
{
    QFile file(path);
    if (file.open(QIODevice::Append))
        file.write(line.toUtf8() + '\n');
}

QStringList lines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

int probeLanguage()
{
    PlistDefaults defaults(qEnvironmentVariable("TAVLIN_PROBE_DEFAULTS"));
    TavlinLanguage::install(defaults);
    QTextStream out(stdout);
    out << "language=" << TavlinLanguage::current().code() << '\n'
        << "locale=" << QLocale().name() << '\n'
        << "count=" << localizedCount(12345) << '\n'
        << "text=" << QCoreApplication::translate("Tavlin", "Favorites") << '\n';
    return 0;
}

int probeRelaunch(QCoreApplication& application)
{
    const QString log = qEnvironmentVariable("TAVLIN_PROBE_LOG");
    PlistDefaults defaults(qEnvironmentVariable("TAVLIN_PROBE_DEFAULTS"));
    const QStringList before = lines(log);
    QString line = QStringLiteral("started %1").arg(QCoreApplication::applicationPid());
    if (!before.isEmpty()) {
        const pid_t previous = before.first().split(u' ').value(1).toInt();
        line += ::kill(previous, 0) == 0 ? QStringLiteral(" previous-alive") : QStringLiteral(" previous-gone");
    }
    appendLine(log, line);

    if (!before.isEmpty()) {
        appendLine(log,
                   QStringLiteral("reopen %1")
                       .arg(ApplicationRelauncher::takeReopenSection(defaults).value_or(QStringLiteral("none"))));
        return 0;
    }
    const bool relaunched = ApplicationRelauncher::relaunchForLanguage(defaults, [] {
        // Quits a little later, as an application shutting down in order would: the new
        // instance must still wait for it.
        return ApplicationRelauncher::relaunch(QProcessEnvironment::systemEnvironment(),
                                               [] { QTimer::singleShot(700, qApp, &QCoreApplication::quit); });
    });
    return relaunched ? application.exec() : 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QString mode = application.arguments().value(1);
    if (mode == u"language")
        return probeLanguage();
    // The relaunched instance starts without arguments, as the application does.
    return probeRelaunch(application);
}
