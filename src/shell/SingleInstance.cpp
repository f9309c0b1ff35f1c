#include "SingleInstance.h"

#include "Log.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace tavlin {

namespace {
const QByteArray reopenMessage = QByteArrayLiteral("reopen\n");
const QByteArray acknowledgement = QByteArrayLiteral("ok\n");
constexpr int handOverTimeoutMs = 2000;
} // namespace

namespace {

// A folder of this user's alone, never created or changed here: Qt's own runtime-folder lookup
// would "repair" the permissions of whatever $XDG_RUNTIME_DIR names, even a shared folder.
bool isPrivateFolder(const QString& path)
{
    struct stat info {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode)
        && info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

} // namespace

QString SingleInstance::defaultSocketPath()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isPrivateFolder(runtime))
        return runtime + QStringLiteral("/org.tavlin.Tavlin.socket");
    return QDir::tempPath() + QStringLiteral("/org.tavlin.Tavlin-%1.socket").arg(::getuid());
}

bool SingleInstance::handOver(const QString& socketPath)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(handOverTimeoutMs))
        return false; // nobody there, or a stale socket of a crashed instance
    socket.write(reopenMessage);
    if (!socket.waitForBytesWritten(handOverTimeoutMs))
        return false;
    // Wait for the answer, so a hung instance does not swallow the launch silently.
    while (socket.bytesAvailable() < acknowledgement.size()) {
        if (!socket.waitForReadyRead(handOverTimeoutMs))
            return false;
    }
    return socket.readAll().startsWith(acknowledgement);
}

SingleInstance::SingleInstance(QString socketPath, QObject* parent) : QObject(parent), socketPath_(std::move(socketPath)) {}

bool SingleInstance::listen()
{
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(socketPath_)) {
        // Nobody answered on it (handOver came first), so whatever is there is stale.
        QLocalServer::removeServer(socketPath_);
        if (!server_->listen(socketPath_)) {
            Log::error(QStringLiteral("Cannot listen on %1 (%2): launching Tavlin again will start a second instance")
                           .arg(socketPath_, server_->errorString()));
            return false;
        }
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine())
                    return;
                if (socket->readLine() == reopenMessage) {
                    socket->write(acknowledgement);
                    socket->flush();
                    Q_EMIT reopenRequested();
                }
                socket->disconnectFromServer();
            });
        }
    });
    return true;
}

} // namespace tavlin
