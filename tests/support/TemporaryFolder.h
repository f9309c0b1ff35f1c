#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

#include <sys/un.h>

namespace tavlin::test {

// A fresh folder for one test, removed afterwards; the history lives in "<folder>/Tavlin".
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    QString path() const { return dir_.path(); }
    QString databasePath() const { return path() + QStringLiteral("/Tavlin/history.sqlite"); }
    QString payloadFolder() const { return path() + QStringLiteral("/Tavlin/payloads"); }
    // Hands the folder to the unprivileged user that runAsUnprivilegedUser uses.
    void giveToUnprivilegedUser() const;

private:
    QTemporaryDir dir_;
};

// The user id of nobody, whom tests run as to meet permission checks when they run as root.
inline constexpr unsigned unprivilegedUserID = 65534;

// Runs `body` in a child process as an unprivileged user (nobody) when the tests run as root, so
// permission checks apply; returns the child's exit status (0 = success).
int runAsUnprivilegedUser(const std::function<int()>& body);

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);
// Runs a program (looked up on PATH) with its arguments as they stand, no shell between, and
// returns its exit status, -1 when it could not run or did not exit. Safe in a forked child.
int runProgram(const QStringList& command);
// Permission bits of a file or folder (lstat).
unsigned permissions(const QString& path);
// The address of a Unix socket at `path`; false, and no address, for a path longer than the 107
// bytes an address holds, which would be cut to another path or overrun the address.
bool unixSocketAddress(const QString& path, sockaddr_un& address);

} // namespace tavlin::test
