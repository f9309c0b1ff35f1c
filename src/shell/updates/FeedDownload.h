#pragma once

#include "UpdateCheckError.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace tavlin {

// One bounded GET of the update feed: at most `maximumBytes` of body (a larger one is cut off and
// reported), at most `maximumRedirects` redirects and only to trusted addresses, and a time limit
// for the whole transfer, redirects included. Emits finished() once, with body() or error() set.
//
// Redirects are followed here rather than by Qt: Qt 6.4's user-verified redirects end a chain
// early as if it had succeeded (status 100, no error, no body).
class FeedDownload : public QObject {
    Q_OBJECT

public:
    struct Limits {
        qint64 maximumBytes = 1024 * 1024;
        int maximumRedirects = 5;
        std::chrono::milliseconds timeout{30'000};
    };

    FeedDownload(QNetworkAccessManager& manager, const QUrl& url, const Limits& limits, QObject* parent = nullptr);
    ~FeedDownload() override;

    bool isFinished() const { return finished_; }
    const QByteArray& body() const { return body_; }
    const std::optional<UpdateCheckError>& error() const { return error_; }

Q_SIGNALS:
    void finished();

private:
    void get(const QUrl& url);
    void receive();
    void checkDeclaredLength();
    void replyFinished();
    void fail(UpdateCheckError error);
    void finish();

    Limits limits_;
    QNetworkAccessManager& manager_;
    QPointer<QNetworkReply> reply_;
    QTimer deadline_;
    QByteArray body_;
    std::optional<UpdateCheckError> error_;
    int redirects_ = 0;
    bool finished_ = false;
};

} // namespace tavlin
