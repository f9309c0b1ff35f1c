#include "LocalHttpServer.h"

#include <QTcpSocket>

namespace tavlin::test {

namespace {

constexpr qsizetype maximumRequestBytes = 64 * 1024;

} // namespace

LocalHttpServer::LocalHttpServer()
{
    server_.listen(QHostAddress::LocalHost);
    connect(&server_, &QTcpServer::newConnection, this, &LocalHttpServer::accept);
}

QUrl LocalHttpServer::url(const QByteArray& path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(QString::fromLatin1(path)));
}

LocalHttpServer::Response LocalHttpServer::redirect(const QByteArray& location)
{
    return Response{"302 Found", {{"Location", location}}, {}, false, false};
}

void LocalHttpServer::accept()
{
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void LocalHttpServer::answer(QTcpSocket* socket)
{
    if (socket->property("answered").toBool())
        return;
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    if (!request.contains("\r\n\r\n")) {
        if (request.size() > maximumRequestBytes)
            socket->abort();
        return;
    }
    socket->setProperty("answered", true);
    const QByteArray path = request.left(request.indexOf("\r\n")).split(' ').value(1);
    requests_.append(path);

    const Response response = routes_.value(path, Response{"404 Not Found", {}, "no such page", false, false});
    if (response.silent)
        return;
    QByteArray head = "HTTP/1.1 " + response.status + "\r\nConnection: close\r\n";
    if (!response.undeclaredLength)
        head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    for (const auto& [name, value] : response.headers)
        head += name + ": " + value + "\r\n";
    socket->write(head + "\r\n" + response.body);
    socket->disconnectFromHost();
}

} // namespace tavlin::test
