#include "TemporaryFolder.h"

#include "ThrowAwayHome.h"

#include <QDirIterator>
#include <QFile>

#include <cstdio>
#include <cstring>
#include <spawn.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tavlin::test {

// In the test process's temporary folder (ThrowAwayHome's), which the unprivileged user a test
// hands a folder to reaches. A short name: a socket's path in it may have no more than 107 bytes.
TemporaryFolder::TemporaryFolder() : dir_(QDir::tempPath() + QStringLiteral("/folder-XXXXXX"))
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

int runProgram(const QStringList& command)
{
    QList<QByteArray> native;
    for (const QString& argument : command)
        native.append(QFile::encodeName(argument));
    std::vector<char*> arguments;
    for (QByteArray& argument : native)
        arguments.push_back(argument.data());
    arguments.push_back(nullptr);
    pid_t child = 0;
    int status = 0;
    if (native.isEmpty() || ::posix_spawnp(&child, arguments[0], nullptr, nullptr, arguments.data(), environ) != 0
        || ::waitpid(child, &status, 0) != child)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

unsigned permissions(const QString& path)
{
    struct stat info { };
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode & 07777;
}

bool unixSocketAddress(const QString& path, sockaddr_un& address)
{
    address = {};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    if (native.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, native.constData(), std::size_t(native.size()));
    return true;
}

} // namespace tavlin::test
