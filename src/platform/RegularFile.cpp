#include "RegularFile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavlin {

std::optional<QByteArray> RegularFile::read(const QString& path, qint64 maximumBytes)
{
    const QByteArray name = QFile::encodeName(path);
    // What the link leads to is looked at before it is opened, since opening a device may do
    // something; and opened without waiting, so that a pipe put in its place meanwhile is refused
    // by what was opened, never waited on.
    struct stat status { };
    if (::stat(name.constData(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > maximumBytes)
        return std::nullopt;
    const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return std::nullopt;
    QFile file;
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)
        || !file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return std::nullopt;
    }
    // Bounded by what is read, not by the size the file system reports, which a growing file
    // would not tell truly.
    QByteArray bytes = file.read(maximumBytes + 1);
    if (bytes.size() > maximumBytes)
        return std::nullopt;
    return bytes;
}

} // namespace tavlin
