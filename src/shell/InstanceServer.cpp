#include "InstanceServer.h"

#include "InstanceChannel.h"
#include "Log.h"

#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tavlin {

InstanceServer::InstanceServer(int listeningFd, std::function<void()> onReopen, std::function<bool()> declines,
                               QObject* parent)
    : QObject(parent), listeningFd_(listeningFd), onReopen_(std::move(onReopen)), declines_(std::move(declines))
{
    // Taken until none is left, never waited for.
    ::fcntl(listeningFd_, F_SETFL, ::fcntl(listeningFd_, F_GETFL) | O_NONBLOCK);
    accepting_ = new QSocketNotifier(listeningFd_, QSocketNotifier::Read, this);
    connect(accepting_, &QSocketNotifier::activated, this, &InstanceServer::acceptPending);
    // The connection that could not be taken waits in the queue meanwhile.
    retry_.setInterval(500);
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, [this] {
        accepting_->setEnabled(true);
        acceptPending();
    });
    idle_.setInterval(idleTimeout / 3);
    connect(&idle_, &QTimer::timeout, this, &InstanceServer::dropIdle);
}

InstanceServer::~InstanceServer()
{
    while (!clients_.empty())
        drop(clients_.front().fd);
    accepting_->setEnabled(false);
    ::close(listeningFd_);
}

void InstanceServer::acceptPending()
{
    while (true) {
        const int fd = ::accept4(listeningFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return;
            // Out of file descriptors or memory: the notifier would fire at once again, so listen
            // again a little later instead of spinning or giving up.
            if (!acceptFailureReported_)
                Log::error(QStringLiteral("Cannot take a connection from a later launch of Tavlin (%1): trying again")
                               .arg(QString::fromLocal8Bit(std::strerror(errno))));
            acceptFailureReported_ = true;
            accepting_->setEnabled(false);
            retry_.start();
            return;
        }
        acceptFailureReported_ = false;
        if (!InstanceChannel::peerIsThisUser(fd)) {
            ::close(fd);
            continue;
        }
        if (clients_.size() >= maxClients)
            drop(clients_.front().fd);
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, fd] { read(fd); });
        clients_.push_back({fd, std::chrono::steady_clock::now(), {}, notifier});
        if (!idle_.isActive())
            idle_.start();
    }
}

void InstanceServer::read(int fd)
{
    const auto client = std::find_if(clients_.begin(), clients_.end(), [fd](const Client& c) { return c.fd == fd; });
    if (client == clients_.end())
        return;
    char buffer[InstanceChannel::requestLimit];
    const ssize_t count = ::recv(fd, buffer, sizeof buffer, 0);
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return;
    if (count <= 0) {
        drop(fd);
        return;
    }
    client->received.append(buffer, std::size_t(count));
    switch (InstanceChannel::request(client->received)) {
    case InstanceChannel::Request::incomplete: return;
    case InstanceChannel::Request::refused: drop(fd); return;
    case InstanceChannel::Request::reopen: break;
    }
    // "ok" would end that launch, and this instance is about to end too: nobody would be left.
    if (declines_ && declines_()) {
        drop(fd);
        return;
    }
    const std::size_t length = std::strlen(InstanceChannel::acknowledgement);
    [[maybe_unused]] const ssize_t sent = ::send(fd, InstanceChannel::acknowledgement, length, MSG_NOSIGNAL);
    drop(fd);
    if (onReopen_)
        onReopen_();
}

void InstanceServer::drop(int fd)
{
    const auto client = std::find_if(clients_.begin(), clients_.end(), [fd](const Client& c) { return c.fd == fd; });
    if (client == clients_.end())
        return;
    // Unwatched before the descriptor goes; deleted later, as it may be the one calling.
    client->notifier->setEnabled(false);
    client->notifier->deleteLater();
    ::close(fd);
    clients_.erase(client);
    if (clients_.empty())
        idle_.stop();
}

void InstanceServer::dropIdle()
{
    const auto oldest = std::chrono::steady_clock::now() - idleTimeout;
    while (!clients_.empty() && clients_.front().accepted <= oldest)
        drop(clients_.front().fd);
}

} // namespace tavlin
