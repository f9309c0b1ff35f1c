#include "SystemLoginItemService.h"

#include "DesktopFile.h"
#include "FileSystemError.h"
#include "Workspace.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tavlin {

namespace {

// Writes `bytes` to a temporary file beside `path` and renames it into place, so a failure never
// leaves half an entry behind.
void writeAtomically(const QString& path, const QByteArray& bytes)
{
    const QString temporary = path + QStringLiteral(".new");
    const QByteArray temporaryName = QFile::encodeName(temporary);
    const int descriptor = ::open(temporaryName.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0)
        FileSystemError::throwErrno(path);
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t result = ::write(descriptor, bytes.constData() + written, size_t(bytes.size() - written));
        if (result < 0 && errno == EINTR)
            continue;
        if (result < 0) {
            const int error = errno;
            ::close(descriptor);
            ::unlink(temporaryName.constData());
            throw FileSystemError(error, path);
        }
        written += result;
    }
    if (::close(descriptor) != 0 || ::rename(temporaryName.constData(), QFile::encodeName(path).constData()) != 0) {
        const int error = errno;
        ::unlink(temporaryName.constData());
        throw FileSystemError(error, path);
    }
}

} // namespace

QString SystemLoginItemService::standardAutostartFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart");
}

void SystemLoginItemService::openInDesktop(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

SystemLoginItemService::SystemLoginItemService(QString executable, QString autostartFolder, OpenURL openURL)
    : executable_(std::move(executable)), autostartFolder_(std::move(autostartFolder)), openURL_(std::move(openURL))
{
}

QString SystemLoginItemService::entryPath() const
{
    return autostartFolder_ + u'/' + Workspace::ownApplicationID() + QStringLiteral(".desktop");
}

LoginItemStatus SystemLoginItemService::status() const
{
    const std::optional<DesktopFile> entry = DesktopFile::read(entryPath());
    if (!entry || entry->isTrue(QStringLiteral("Hidden"))
        || entry->isFalse(QStringLiteral("X-GNOME-Autostart-enabled")))
        return LoginItemStatus::disabled;
    const QString program = DesktopFile::resolveProgram(entry->execProgram());
    return !program.isEmpty() && program == DesktopFile::resolveProgram(executable_) ? LoginItemStatus::enabled
                                                                                     : LoginItemStatus::disabled;
}

void SystemLoginItemService::registerItem()
{
    // What stands in the way is named: a file where the folder belongs is the folder's fault,
    // not the entry's.
    if (!QDir().mkpath(autostartFolder_))
        throw FileSystemError(QFileInfo::exists(autostartFolder_) ? ENOTDIR : EACCES, autostartFolder_);
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Tavlin\n"
                                         "Exec=%1\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(DesktopFile::execArgument(executable_));
    writeAtomically(entryPath(), entry.toUtf8());
}

void SystemLoginItemService::unregisterItem()
{
    if (::unlink(QFile::encodeName(entryPath()).constData()) != 0 && errno != ENOENT)
        FileSystemError::throwErrno(entryPath());
}

void SystemLoginItemService::openSystemSettings()
{
    QDir().mkpath(autostartFolder_);
    if (openURL_)
        openURL_(QUrl::fromLocalFile(autostartFolder_));
}

} // namespace tavlin
