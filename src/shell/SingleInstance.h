#pragma once

#include "InstanceChannel.h"

#include <QString>

#include <chrono>
#include <functional>
#include <memory>

namespace tavlin {

class InstanceServer;

// One Tavlin per user. The first launch takes an advisory lock (flock) on a file in a private
// runtime folder before anything else starts, and at once listens on a socket beside it; a later
// launch finds the lock taken, asks the running instance over that socket to reopen, and exits. The lock goes with the process, so a crash never blocks the next start.
//
// Only a listener running as this user is believed (SO_PEERCRED): another user's socket, or one
// in a folder another user controls, can neither stop Tavlin from starting nor take its place.
// Linux-specific (flock, SO_PEERCRED). Main thread.
class SingleInstance {
public:
    // The lock's name in the data folder, where it lives only without a private runtime folder.
    static inline const QString lockFileName = QStringLiteral("instance.lock");

    struct Paths {
        QString lockFile;
        // Empty when no private runtime folder could be had: this instance then runs without
        // answering later launches.
        QString socket;
    };

    enum class Claim {
        first, // this process is the instance: the lock is held, the socket is listening
        handedOver, // a running instance answered and reopens; this launch is done
        unanswered, // an instance holds the lock but did not answer in time (stopped or hung)
    };

    // The lock file and the socket in InstanceChannel::instanceFolder(), the folder the launcher
    // looks in too. Without one, the lock goes into `dataFolder` and there is no socket.
    static Paths defaultPaths(const QString& dataFolder);

    explicit SingleInstance(Paths paths);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Before the application object exists. A launch that finds the lock taken keeps asking the
    // running instance for up to `patience` (it may still be starting) and waits as long for its
    // answer.
    Claim claim(std::chrono::milliseconds patience = std::chrono::seconds(5));

    // Once the application object exists (and only after claim() gave `first`): later launches
    // reach `onReopen`.
    void serve(std::function<void()> onReopen);

private:
    InstanceChannel::HandOver handOver(std::chrono::milliseconds patience) const;
    void listen();

    Paths paths_;
    int lockFd_ = -1;
    int listenFd_ = -1;
    std::unique_ptr<InstanceServer> server_;
};

} // namespace tavlin
