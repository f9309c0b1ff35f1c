#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QTcpServer>
#include <QUrl>

namespace tavlin::test {

// A small HTTP/1.1 server on 127.0.0.1 for the update tests: each path answers with a fixed
// response, then closes the connection. It runs on the test's own event loop.
class LocalHttpServer : public QObject {
public:
    struct Response {
        QByteArray status = "200 OK";
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
        // Accept the request and never answer.
        bool silent = false;
        // Send no Content-Length; the end of the body is the end of the connection.
        bool undeclaredLength = false;
    };

    LocalHttpServer();

    void route(const QByteArray& path, Response response) { routes_.insert(path, std::move(response)); }
    QUrl url(const QByteArray& path) const;
    int requestCount(const QByteArray& path) const { return requests_.count(path); }

    static Response redirect(const QByteArray& location);

private:
    void accept();
    void answer(class QTcpSocket* socket);

    QTcpServer server_;
    QHash<QByteArray, Response> routes_;
    QList<QByteArray> requests_;
};

} // namespace tavlin::test
