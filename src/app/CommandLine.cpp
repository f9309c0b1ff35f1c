#include "CommandLine.h"

#include "AppUpdateController.h"
#include "PlistDefaults.h"
#include "TavlinLanguage.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace tavlin {

std::optional<int> CommandLine::answer(int& argc, char** argv)
{
    // A plain launch reads nothing more: no application object before the real one.
    if (argc <= 1)
        return std::nullopt;
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tavlin"));
    const PlistDefaults defaults;
    TavlinLanguage::install(defaults);

    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate("Tavlin", "A private clipboard history in the tray."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QCoreApplication::translate("Tavlin", "Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QCoreApplication::translate("Tavlin", "Show the version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    const auto refuse = [](const QString& reason) {
        std::fputs(qPrintable(QStringLiteral("tavlin: %1\n").arg(reason)), stderr);
        return 2;
    };
    if (!parser.parse(QCoreApplication::arguments()))
        return refuse(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return refuse(
            QCoreApplication::translate("Tavlin", "Unknown argument '%1'.").arg(parser.positionalArguments().first()));
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::fputs(qPrintable(QStringLiteral("Tavlin %1\n").arg(AppUpdateController::version())), stdout);
        return 0;
    }
    return std::nullopt;
}

} // namespace tavlin
