#include "FeedDownload.h"

#include "UpdateConfiguration.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace tavlin {

namespace {

// Qt's own buffer stays small; the body is collected (and counted) here.
constexpr qint64 readBufferBytes = 64 * 1024;

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

} // namespace

FeedDownload::FeedDownload(QNetworkAccessManager& manager, const QUrl& url, const Limits& limits, QObject* parent)
    : QObject(parent), limits_(limits), manager_(manager)
{
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        fail(UpdateCheckError(UpdateCheckError::Kind::timedOut,
                              QStringLiteral("no complete answer within %1 ms").arg(limits_.timeout.count())));
    });
    deadline_.start(limits_.timeout);
    get(url);
}

FeedDownload::~FeedDownload()
{
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
    }
}

void FeedDownload::get(const QUrl& url)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    body_.clear();
    reply_ = manager_.get(request);
    reply_->setReadBufferSize(readBufferBytes);
    connect(reply_, &QNetworkReply::metaDataChanged, this, &FeedDownload::checkDeclaredLength);
    connect(reply_, &QNetworkReply::readyRead, this, &FeedDownload::receive);
    connect(reply_, &QNetworkReply::finished, this, &FeedDownload::replyFinished);
}

void FeedDownload::checkDeclaredLength()
{
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > limits_.maximumBytes)
        fail(UpdateCheckError(UpdateCheckError::Kind::tooLarge,
                              QStringLiteral("declared length %1 bytes").arg(length.toLongLong())));
}

void FeedDownload::receive()
{
    body_ += reply_->read(limits_.maximumBytes + 1 - body_.size());
    if (body_.size() > limits_.maximumBytes)
        fail(UpdateCheckError(UpdateCheckError::Kind::tooLarge,
                              QStringLiteral("more than %1 bytes").arg(limits_.maximumBytes)));
}

void FeedDownload::replyFinished()
{
    if (finished_)
        return;
    QNetworkReply* reply = reply_;
    reply->deleteLater();
    reply_ = nullptr;
    if (error_) {
        finish(); // aborted by fail()
        return;
    }

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && isRedirect(status.toInt())) {
        const QUrl target = reply->url().resolved(QUrl::fromEncoded(reply->rawHeader("Location")));
        if (++redirects_ > limits_.maximumRedirects)
            fail(UpdateCheckError(UpdateCheckError::Kind::tooManyRedirects,
                                  QStringLiteral("more than %1 redirects, the last to %2")
                                      .arg(limits_.maximumRedirects)
                                      .arg(target.toDisplayString())));
        else if (!UpdateConfiguration::isTrustedFeedURL(target))
            fail(UpdateCheckError(UpdateCheckError::Kind::untrustedRedirect, target.toDisplayString()));
        else
            get(target);
        return;
    }
    if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299))
        fail(UpdateCheckError(UpdateCheckError::Kind::serverError, QStringLiteral("HTTP %1").arg(status.toInt()),
                              status.toInt()));
    else if (reply->error() != QNetworkReply::NoError)
        fail(UpdateCheckError(UpdateCheckError::Kind::unreachable, reply->errorString()));
    else
        finish();
}

// Records the first failure and stops the transfer; an aborted reply finishes, which ends here.
void FeedDownload::fail(UpdateCheckError error)
{
    if (finished_)
        return;
    if (!error_)
        error_ = std::move(error);
    if (reply_)
        reply_->abort();
    else
        finish();
}

void FeedDownload::finish()
{
    if (finished_)
        return;
    finished_ = true;
    deadline_.stop();
    if (error_)
        body_.clear();
    Q_EMIT finished();
}

} // namespace tavlin
