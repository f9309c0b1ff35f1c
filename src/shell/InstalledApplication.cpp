#include "InstalledApplication.h"

#include "DesktopFile.h"
#include "InstanceChannel.h"

#include <QFileInfo>

namespace tavlin {

QString InstalledApplication::runningExecutable()
{
    // Read once and taken out of the environment, so that the programs Tavlin opens (a browser, an
    // editor) do not inherit it.
    static const QString launcher = [] {
        const QString path = qEnvironmentVariable(InstanceChannel::launcherVariable);
        qunsetenv(InstanceChannel::launcherVariable);
        return path;
    }();
    return QFileInfo(launcher).isExecutable() ? launcher : QCoreApplication::applicationFilePath();
}

std::optional<InstalledApplication> InstalledApplication::find(const QString& runningExecutable,
                                                               const QStringList& dataFolders)
{
    const QString running = QFileInfo(runningExecutable).canonicalFilePath();
    if (running.isEmpty())
        return std::nullopt;
    for (const QString& folder : dataFolders) {
        const QString path = folder + QStringLiteral("/applications/") + desktopID + QStringLiteral(".desktop");
        if (!QFileInfo::exists(path))
            continue;
        const std::optional<DesktopFile> entry = DesktopFile::read(path);
        if (!entry || entry->isTrue(QStringLiteral("Hidden")))
            return std::nullopt;
        // The install puts the program the entry names by bare name in the bin folder beside the
        // entry's share folder (~/.local/bin for ~/.local/share), which a session's PATH may lack:
        // Debian adds ~/.local/bin only at a login after the folder existed.
        const QString program = entry->execProgram();
        const bool installedBeside = !program.isEmpty() && !program.contains(u'/')
            && QFileInfo(folder + QStringLiteral("/../bin/") + program).canonicalFilePath() == running;
        if (!installedBeside && DesktopFile::resolveProgram(program) != running)
            return std::nullopt;
        return InstalledApplication{path, running};
    }
    return std::nullopt;
}

} // namespace tavlin
