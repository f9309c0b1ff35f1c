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
        if (DesktopFile::resolveProgram(entry->execProgram()) != running)
            return std::nullopt;
        return InstalledApplication{path, running};
    }
    return std::nullopt;
}

} // namespace tavlin
