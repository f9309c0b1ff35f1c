#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QSocketNotifier;

namespace tavlin {

// Answers later launches on the instance socket: one short line "reopen", answered "ok" only when
// the instance will reopen (not once `declines` says it quits: that launch is closed unanswered,
// and waits for this instance to go). Whoever
// connects costs little and not for long: only a few connections are kept (a new one replaces
// the oldest), each for a few seconds and a few dozen bytes at most, and a failed accept (out of
// file descriptors) only pauses listening. Main thread.
class InstanceServer : public QObject {
    Q_OBJECT

public:
    static constexpr std::size_t maxClients = 8;
    static constexpr std::chrono::milliseconds idleTimeout{3000};

    // Takes over `listeningFd`, a listening Unix stream socket.
    InstanceServer(int listeningFd, std::function<void()> onReopen, std::function<bool()> declines = {},
                   QObject* parent = nullptr);
    ~InstanceServer() override;

private:
    struct Client {
        int fd = -1;
        std::chrono::steady_clock::time_point accepted;
        std::string received;
        QSocketNotifier* notifier = nullptr;
    };

    void acceptPending();
    void read(int fd);
    void drop(int fd);
    void dropIdle();

    int listeningFd_;
    std::function<void()> onReopen_;
    std::function<bool()> declines_;
    QSocketNotifier* accepting_ = nullptr;
    QTimer retry_;
    QTimer idle_;
    bool acceptFailureReported_ = false;
    std::vector<Client> clients_; // oldest first
};

} // namespace tavlin
