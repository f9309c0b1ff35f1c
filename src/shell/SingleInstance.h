#pragma once

#include "InstanceChannel.h"

#include <QString>

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QFileSystemWatcher;

namespace tavlin {

class InstanceServer;

// One Tavlin per user, and never two recording one history. The first launch takes an advisory
// lock (flock) on a file in a private runtime folder before anything else starts, and at once
// listens on a socket beside it; a later launch finds the lock taken, asks the running instance
// over that socket to reopen, and exits. Launches need not agree on the runtime folder (a terminal
// or ssh session beside the desktop's has another, or none), so the history is guarded as well:
// by a lock on its folder, which no cleaner can delete from under it, and on `instance.lock` in
// it, which names the socket its holder listens on.
//
// What a cleaner of the temporary folder or a tidy user deletes while Tavlin runs (the socket, the
// runtime folder with its lock, `instance.lock`) is made again each time, however often, also
// when deleted while Tavlin was still starting: until then a launch finds the history's lock
// taken and keeps asking. A Tavlin that has begun to quit stops listening first; a launch that
// meets it, unanswered or declined, waits for its locks to be free and then starts. The locks go
// with the process, so a crash never blocks the next start.
//
// Only a listener running as this user is believed (SO_PEERCRED): another user's socket, or one
// in a folder another user controls, can neither stop Tavlin from starting nor take its place.
// Linux-specific (flock, SO_PEERCRED, inotify). Main thread.
class SingleInstance {
public:
    // The history's lock, in the data folder.
    static inline const QString lockFileName = QStringLiteral("instance.lock");

    struct Paths {
        // The lock beside the socket. Empty, as the socket, when no private runtime folder could
        // be had: this instance then runs without answering later launches.
        QString lockFile;
        QString socket;
        // The lock in the data folder; empty for no such guard.
        QString historyLock;
    };

    enum class Claim {
        first, // this process is the instance: the lock is held, the socket is listening
        handedOver, // a running instance answered and reopens; this launch is done
        unanswered, // an instance holds the lock but did not answer in time (stopped or hung)
    };

    // The lock file and the socket in InstanceChannel::instanceFolder(), the folder the launcher
    // looks in too, and the history's lock in `dataFolder`.
    static Paths defaultPaths(const QString& dataFolder);

    // A launch that cannot start Tavlin (no display) still reaches a running one, but writes
    // nothing: it asks the socket in the launcher's folder and the one `instance.lock` in
    // `dataFolder` names, as they stand. Whether one of them said it reopens.
    static bool handOverToRunning(const QString& dataFolder,
                                  std::chrono::milliseconds patience = std::chrono::seconds(1));

    explicit SingleInstance(Paths paths);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Before the application object exists. A launch that finds the lock taken keeps asking the
    // running instance for up to `patience` (it may still be starting) and waits as long for its
    // answer.
    Claim claim(std::chrono::milliseconds patience = std::chrono::seconds(5));

    // Once the application object exists (and only after claim() gave `first`): later launches
    // reach `onReopen`, also after the socket, its folder or the locks were deleted. While
    // `quitting` says so (a signal to end has come), a launch is declined unanswered.
    void serve(std::function<void()> onReopen, std::function<bool()> quitting = {});

    // First thing on quitting: no launch is answered any more, so that it waits for this
    // instance to go instead of being told it reopens. The locks stay until the process ends.
    void stopServing();

private:
    using Deadline = std::chrono::steady_clock::time_point;

    // Takes the lock open on `fd`, or hands over to its holder at the socket `holderSocket` names,
    // asking until `deadline`: the holder may still be starting. Nothing when the lock is ours.
    std::optional<Claim> takeOrHandOver(int fd, const QString& lockFile, const std::function<QString()>& holderSocket,
                                        Deadline deadline, std::chrono::milliseconds patience) const;
    void takeRuntimeLock();
    void takeHistoryLock();
    QString historyLockHolder() const;
    void listen();
    void nameSocketIn(int historyLockFd) const;
    void remakeWhatWasDeleted();
    void retakeRuntimeLock();
    void rewriteHistoryLock();
    void watch(bool again);

    Paths paths_;
    int lockFd_ = -1;
    int historyLockFd_ = -1;
    int historyFolderFd_ = -1;
    int listenFd_ = -1;
    ino_t socketInode_ = 0;
    bool stopped_ = false;
    std::function<void()> onReopen_;
    std::function<bool()> quitting_;
    std::unique_ptr<InstanceServer> server_;
    std::unique_ptr<QFileSystemWatcher> watcher_;
};

} // namespace tavlin
