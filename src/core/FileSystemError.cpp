#include "FileSystemError.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace tavlin {

namespace {

QString reasonText(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT: return QCoreApplication::translate("Core", "it doesn’t exist");
    case EACCES:
    case EPERM: return QCoreApplication::translate("Core", "permission denied");
    case ENOSPC:
    case EDQUOT: return QCoreApplication::translate("Core", "the disk is full");
    case EROFS: return QCoreApplication::translate("Core", "the disk is read-only");
    case ENOTDIR:
    case EEXIST: return QCoreApplication::translate("Core", "something else is in its place");
    default: return QString::fromLocal8Bit(std::strerror(errorNumber));
    }
}

} // namespace

FileSystemError::FileSystemError(int errorNumber, QString path) : errorNumber_(errorNumber), path_(std::move(path))
{
}

QString FileSystemError::failureReason() const
{
    return QStringLiteral("%1: %2").arg(path_, QString::fromLocal8Bit(std::strerror(errorNumber_)));
}

QString FileSystemError::localizedDescription() const
{
    return QCoreApplication::translate("Core", "Tavlin couldn’t use the file “%1”: %2.")
        .arg(QFileInfo(path_).fileName(), reasonText(errorNumber_));
}

void FileSystemError::throwErrno(const QString& path)
{
    throw FileSystemError(errno, path);
}

} // namespace tavlin
