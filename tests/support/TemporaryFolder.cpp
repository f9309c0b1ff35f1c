#include "TemporaryFolder.h"

#include "ThrowAwayHome.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>

#include <cstdio>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavlin::test {

namespace {

// Whether others may pass through every folder on the way to `path`.
bool othersMayEnter(const QString& path)
{
    for (QDir folder(QDir(path).canonicalPath());; folder.cdUp()) {
        struct stat info { };
        if (::stat(QFile::encodeName(folder.path()).constData(), &info) != 0 || !(info.st_mode & S_IXOTH))
            return false;
        if (folder.isRoot())
            return true;
    }
}

// The temporary folder, or the system's own when the tests run as root and it is private (a 0700
// $TMPDIR): the unprivileged user a test hands its folder to must reach it.
QString folderTemplate()
{
    QString base = QDir::tempPath();
    if (::geteuid() == 0 && !othersMayEnter(base))
        base = QStringLiteral("/tmp");
    const QString name = QCoreApplication::applicationName();
    return base + u'/' + (name.isEmpty() ? QStringLiteral("tavlin-test") : name) + QStringLiteral("-XXXXXX");
}

} // namespace

TemporaryFolder::TemporaryFolder() : dir_(folderTemplate())
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

TemporaryFolder::~TemporaryFolder()
{
    makeRemovable(path());
}

void TemporaryFolder::giveToUnprivilegedUser() const
{
    if (::geteuid() != 0)
        return;
    ::chown(QFile::encodeName(path()).constData(), unprivilegedUserID, unprivilegedUserID);
    QDirIterator it(path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        ::lchown(QFile::encodeName(it.next()).constData(), unprivilegedUserID, unprivilegedUserID);
}

int runAsUnprivilegedUser(const std::function<int()>& body)
{
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(unprivilegedUserID) != 0 || ::setuid(unprivilegedUserID) != 0))
            ::_exit(100);
        int status = 101;
        try {
            status = body();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "unexpected error as the unprivileged user: %s\n", error.what());
            status = 102;
        } catch (...) {
            status = 102;
        }
        ::_exit(status);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

unsigned permissions(const QString& path)
{
    struct stat info { };
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode & 07777;
}

} // namespace tavlin::test
