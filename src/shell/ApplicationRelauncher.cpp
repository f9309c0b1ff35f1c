#include "ApplicationRelauncher.h"

#include "Defaults.h"
#include "InstalledApplication.h"
#include "Log.h"
#include "StoredPreferences.h"

#include <QCoreApplication>
#include <QProcess>

namespace tavlin {

bool ApplicationRelauncher::relaunch(const QProcessEnvironment& environment, const std::function<void()>& terminate)
{
    const QString executable = InstalledApplication::runningExecutable();
    QProcess process;
    process.setProgram(QStringLiteral("/bin/sh"));
    process.setArguments({QStringLiteral("-c"), script, QStringLiteral("relaunch"),
                          QString::number(QCoreApplication::applicationPid()), executable});
    process.setProcessEnvironment(environment);
    if (executable.isEmpty() || !process.startDetached()) {
        Log::error(QStringLiteral("Relaunch failed: %1")
                       .arg(executable.isEmpty() ? QStringLiteral("the executable's path is unknown")
                                                 : process.errorString()));
        return false;
    }
    if (terminate)
        terminate();
    return true;
}

bool ApplicationRelauncher::relaunchForLanguage(Defaults& defaults, const std::function<bool()>& relaunchApplication)
{
    defaults.setString(StoredPreferences::reopenAfterRestart.key, QStringLiteral("interface"));
    const bool relaunched = relaunchApplication && relaunchApplication();
    if (!relaunched)
        defaults.removeObject(StoredPreferences::reopenAfterRestart.key);
    return relaunched;
}

std::optional<QString> ApplicationRelauncher::takeReopenSection(Defaults& defaults)
{
    const std::optional<QString> section = defaults.string(StoredPreferences::reopenAfterRestart.key);
    if (section)
        defaults.removeObject(StoredPreferences::reopenAfterRestart.key);
    return section;
}

void ApplicationRelauncher::quitApplication()
{
    QCoreApplication::quit();
}

} // namespace tavlin
