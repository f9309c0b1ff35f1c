// One Tavlin per user: later launches reach the running instance, a crash leaves nothing in the
// way, a stopped instance is not joined by a second, and another user's socket counts for nothing.
#include "ExpectSoon.h"
#include "InstanceChannel.h"
#include "InstanceServer.h"
#include "SingleInstance.h"
#include "SocketSquatter.h"
#include "TemporaryFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using namespace tavlin;
using namespace tavlin::test;

namespace {

struct InstanceFolders {
    TemporaryFolder folder;
    QString runtime = folder.path() + QStringLiteral("/run");
    SingleInstance::Paths paths{folder.path() + QStringLiteral("/data/instance.lock"),
                                runtime + QStringLiteral("/org.tavlin.Tavlin.socket")};

    InstanceFolders() { QDir().mkpath(runtime); }
};

// Puts the named variables back as they were, set or not.
class EnvironmentRestorer {
public:
    explicit EnvironmentRestorer(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            saved_.append({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
    }
    ~EnvironmentRestorer()
    {
        for (const Saved& variable : saved_) {
            if (variable.wasSet)
                qputenv(variable.name, variable.value);
            else
                qunsetenv(variable.name);
        }
    }

private:
    struct Saved {
        const char* name;
        bool wasSet;
        QByteArray value;
    };
    QList<Saved> saved_;
};

// A socket file with nobody listening, as a crashed instance leaves it.
void leaveStaleSocket(const QString& path)
{
    sockaddr_un address{};
    ASSERT_TRUE(unixSocketAddress(path, address)) << "too long for a socket: " << path.toStdString();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}

// A later launch, from a thread: the running side answers from the test's event loop.
SingleInstance::Claim launchAgain(const SingleInstance::Paths& paths, std::chrono::milliseconds patience = 5s)
{
    std::atomic<bool> done = false;
    SingleInstance::Claim claim = SingleInstance::Claim::first;
    std::thread launch([&] {
        SingleInstance later(paths);
        claim = later.claim(patience);
        done = true;
    });
    EXPECT_SOON(done.load(), 30000);
    launch.join();
    return claim;
}

} // namespace

TEST(SingleInstance, LaterLaunchesReachTheRunningInstanceAndACrashLeavesNothingInTheWay)
{
    InstanceFolders folders;
    leaveStaleSocket(folders.paths.socket);
    int reopened = 0;
    {
        SingleInstance running(folders.paths);
        ASSERT_EQ(running.claim(), SingleInstance::Claim::first) << "a stale socket is no running instance";
        EXPECT_EQ(permissions(folders.paths.lockFile), 0600u);
        running.serve([&] { ++reopened; });
        EXPECT_EQ(launchAgain(folders.paths), SingleInstance::Claim::handedOver);
        EXPECT_EQ(reopened, 1);
    }
    // Once it is gone, however it ended, its lock went with it.
    SingleInstance next(folders.paths);
    EXPECT_EQ(next.claim(), SingleInstance::Claim::first);
}

// A path too long for a socket's address (deep folders, two-byte letters) fails the test that
// makes one, rather than cut to another path or written past the address's end.
TEST(SingleInstance, TheTestsMakeNoSocketWhosePathIsTooLongForOne)
{
    EXPECT_FATAL_FAILURE(leaveStaleSocket(QDir::tempPath() + u'/' + QString(100, u'д')), "too long for a socket");
}

// Connections that never ask anything are not kept: the newest replaces the oldest once a few are
// open, so they never hold many descriptors and a later launch always gets through, and the rest
// go after a short time.
TEST(SingleInstance, SilentConnectionsNeitherPileUpNorCrowdOutALaterLaunch)
{
    InstanceFolders folders;
    SingleInstance running(folders.paths);
    ASSERT_EQ(running.claim(), SingleInstance::Claim::first);
    int reopened = 0;
    running.serve([&] { ++reopened; });
    sockaddr_un address{};
    ASSERT_TRUE(InstanceChannel::socketAddress(QFile::encodeName(folders.paths.socket).toStdString(), address));
    const auto openDescriptors = [] { return QDir(QStringLiteral("/proc/self/fd")).count(); };
    const qsizetype before = openDescriptors();
    std::vector<int> silent;
    for (std::size_t count = 0; count < 2 * InstanceServer::maxClients; ++count) {
        silent.push_back(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        ASSERT_EQ(::connect(silent.back(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    }
    // Taken in turn before this later launch, which is answered.
    EXPECT_EQ(launchAgain(folders.paths), SingleInstance::Claim::handedOver);
    EXPECT_EQ(reopened, 1);
    EXPECT_LE(openDescriptors() - before - qsizetype(silent.size()), qsizetype(InstanceServer::maxClients));
    const auto closedByTavlin = [](int fd) {
        char byte = 0;
        return ::recv(fd, &byte, 1, MSG_DONTWAIT) == 0;
    };
    EXPECT_SOON(std::all_of(silent.cbegin(), silent.cend(), closedByTavlin), 30000);
    for (const int fd : silent)
        ::close(fd);
}

TEST(SingleInstance, AnInstanceThatDoesNotAnswerIsNotJoinedByASecond)
{
    InstanceFolders folders;
    // Stopped (kill -STOP) right after it started listening: connections queue, nothing answers.
    SingleInstance stopped(folders.paths);
    ASSERT_EQ(stopped.claim(), SingleInstance::Claim::first);
    EXPECT_EQ(launchAgain(folders.paths, 300ms), SingleInstance::Claim::unanswered);

    // Stopped before it could listen at all.
    InstanceFolders silent;
    SingleInstance::Paths withoutSocket = silent.paths;
    withoutSocket.socket.clear();
    SingleInstance early(withoutSocket);
    ASSERT_EQ(early.claim(), SingleInstance::Claim::first);
    EXPECT_EQ(launchAgain(silent.paths, 300ms), SingleInstance::Claim::unanswered);
}

// A data folder that cannot be written to (a read-only disk) must not let a second one start.
TEST(SingleInstance, TheGuardNeedsNoWritableDataFolder)
{
    InstanceFolders folders;
    const QString data = folders.folder.path() + QStringLiteral("/data");
    QDir().mkpath(data);
    folders.folder.giveToUnprivilegedUser();
    ::chmod(QFile::encodeName(folders.runtime).constData(), 0700);
    ::chmod(QFile::encodeName(data).constData(), 0500);
    const int status = runAsUnprivilegedUser([&] {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folders.runtime));
        SingleInstance first(SingleInstance::defaultPaths(data));
        if (first.claim() != SingleInstance::Claim::first)
            return 1;
        SingleInstance second(SingleInstance::defaultPaths(data));
        return second.claim(300ms) == SingleInstance::Claim::unanswered ? 0 : 2;
    });
    EXPECT_EQ(status, 0) << "a second instance started";
}

TEST(SingleInstance, AnotherUsersSocketNeitherAnswersForTavlinNorKeepsItFromStarting)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to run the squatter as another user";
    TemporaryFolder shared; // like /tmp: anyone may create entries, and the other user reaches it
    ASSERT_EQ(::chmod(QFile::encodeName(shared.path()).constData(), 01777), 0);

    // Another user's listener, moved to where Tavlin looks for its own.
    InstanceFolders folders;
    SocketSquatter squatter(shared.path() + QStringLiteral("/squat.socket"));
    ASSERT_TRUE(squatter.waitUntilListening());
    ASSERT_TRUE(QFile::rename(shared.path() + QStringLiteral("/squat.socket"), folders.paths.socket));
    {
        SingleInstance::Paths withoutSocket = folders.paths;
        withoutSocket.socket.clear();
        SingleInstance stopped(withoutSocket);
        ASSERT_EQ(stopped.claim(), SingleInstance::Claim::first);
        EXPECT_EQ(launchAgain(folders.paths, 300ms), SingleInstance::Claim::unanswered)
            << "an answer from another user's socket is no hand-over";
    }
    SingleInstance running(folders.paths);
    EXPECT_EQ(running.claim(), SingleInstance::Claim::first);
    running.serve([] {});
    EXPECT_EQ(launchAgain(folders.paths), SingleInstance::Claim::handedOver) << "ours replaced it";

    // Without a private runtime folder, a folder another user made in the shared temporary
    // folder is not used; a fresh one is made private.
    const EnvironmentRestorer restorer({"XDG_RUNTIME_DIR", "TMPDIR"});
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(shared.path()));
    const QString fallback = shared.path() + QStringLiteral("/tavlin-0");
    EXPECT_EQ(runAsUnprivilegedUser([&] { return ::mkdir(QFile::encodeName(fallback).constData(), 0700); }), 0);
    EXPECT_TRUE(SingleInstance::defaultPaths(folders.folder.path()).socket.isEmpty());
    ASSERT_TRUE(QDir(fallback).removeRecursively());
    EXPECT_EQ(SingleInstance::defaultPaths(folders.folder.path()).socket,
              fallback + QStringLiteral("/org.tavlin.Tavlin.socket"));
    EXPECT_EQ(permissions(fallback), 0700u);
}

// Where a launch without a usable runtime folder settles, given the temporary folder: in it, but
// in /tmp when the socket's path there would be too long for a socket.
QString fallbackIn(const QString& temporary)
{
    const QString own = temporary + QStringLiteral("/tavlin-%1").arg(::geteuid());
    return QFile::encodeName(own + QStringLiteral("/org.tavlin.Tavlin.socket")).size()
            < int(sizeof(sockaddr_un::sun_path))
        ? own
        : QStringLiteral("/tmp/tavlin-%1").arg(::geteuid());
}

// The launcher, which has no Qt, must look for the running instance exactly where that instance
// listens, and every launch must settle on the same folder whatever $XDG_RUNTIME_DIR is: a
// missing one is made, one that is not private as it stands is left alone (it is the desktop's,
// not ours to change) and passed over.
TEST(SingleInstance, EveryLaunchSettlesOnOneFolderWhateverTheRuntimeFolderIs)
{
    const EnvironmentRestorer restorer({"XDG_RUNTIME_DIR", "TMPDIR"});
    TemporaryFolder folder;
    const QString data = folder.path() + QStringLiteral("/data");
    const auto settled = [&](const char* situation) {
        const QString listening = SingleInstance::defaultPaths(data).socket;
        EXPECT_EQ(QFile::decodeName(InstanceChannel::runningSocket().c_str()), listening) << situation;
        EXPECT_TRUE(listening.endsWith(QStringLiteral("/org.tavlin.Tavlin.socket"))) << situation;
        return QFileInfo(listening).path();
    };
    // The temporary folder, reached through a link.
    const QString temporary = folder.path() + QStringLiteral("/tmp");
    QDir().mkpath(temporary);
    ::chmod(QFile::encodeName(temporary).constData(), 01777);
    ASSERT_TRUE(QFile::link(temporary, folder.path() + QStringLiteral("/tmp-link")));
    qputenv("TMPDIR", QFile::encodeName(folder.path() + QStringLiteral("/tmp-link")));
    const QString fallback = fallbackIn(temporary);
    const QString system = QStringLiteral("/tmp/tavlin-%1").arg(::geteuid());
    // Made there by the launches below when the temporary folder is too deep: gone with the test.
    const auto cleanUp = qScopeGuard([system, hadSystem = QFileInfo::exists(system)] {
        if (!hadSystem)
            QDir().rmdir(system);
    });

    const QString runtime = folder.path() + QStringLiteral("/run");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    EXPECT_EQ(settled("a missing runtime folder"), runtime);
    EXPECT_EQ(permissions(runtime), 0700u);
    ::chmod(QFile::encodeName(runtime).constData(), 0755);
    EXPECT_EQ(settled("a runtime folder of ours that others may enter"), fallback);
    EXPECT_EQ(permissions(runtime), 0755u);
    ::chmod(QFile::encodeName(runtime).constData(), 0700);

    ASSERT_TRUE(QFile::link(runtime, folder.path() + QStringLiteral("/run-link")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder.path() + QStringLiteral("/run-link")));
    EXPECT_EQ(settled("a link"), fallback);
    EXPECT_EQ(permissions(fallback), 0700u);
    qputenv("XDG_RUNTIME_DIR", "run");
    EXPECT_EQ(settled("a relative path"), fallback);
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(settled("no runtime folder"), fallback);

    // Folders too deep for the socket's path: the system's temporary folder instead.
    const QString deep = folder.path() + u'/' + QString(100, u'д');
    QDir().mkpath(deep);
    qputenv("TMPDIR", QFile::encodeName(deep));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(deep));
    EXPECT_EQ(settled("deep folders"), system);
    qputenv("TMPDIR", QFile::encodeName(folder.path() + QStringLiteral("/tmp-link")));
    qunsetenv("XDG_RUNTIME_DIR");

    // A runtime folder we may not write to, and one of another user, are passed over. As the
    // unprivileged user, for whom permissions hold.
    folder.giveToUnprivilegedUser();
    const QString locked = folder.path() + QStringLiteral("/locked");
    const QString others = folder.path() + QStringLiteral("/others");
    QDir().mkpath(others);
    ::chmod(QFile::encodeName(others).constData(), 0700);
    const int status = runAsUnprivilegedUser([&] {
        const std::string ownFallback = QFile::encodeName(fallbackIn(temporary)).toStdString();
        ::mkdir(QFile::encodeName(locked).constData(), 0500);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(locked));
        if (::geteuid() != 0 && (InstanceChannel::instanceFolder() != ownFallback || permissions(locked) != 0500u))
            return 1;
        // Another user's only when the tests run as root: a user's run made it its own.
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(others));
        struct stat owner { };
        if (::stat(QFile::encodeName(others).constData(), &owner) == 0 && owner.st_uid != ::geteuid()
            && InstanceChannel::instanceFolder() != ownFallback)
            return 2;
        return 0;
    });
    EXPECT_EQ(status, 0) << "1: an own read-only runtime folder was used or changed; 2: another user's was used";
}

// The paths a launch whose runtime folder is `runtime` settles on, for the history in `data`.
SingleInstance::Paths pathsWithRuntime(const QString& runtime, const QString& data)
{
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    return SingleInstance::defaultPaths(data);
}

// Launches from another runtime folder, or after the runtime folder was deleted under the running
// instance (a cleaner of the temporary folder), still reach the one that records the history.
TEST(SingleInstance, EveryLaunchReachesTheInstanceThatRecordsTheHistory)
{
    const EnvironmentRestorer restorer({"XDG_RUNTIME_DIR", "TMPDIR"});
    TemporaryFolder folder;
    const QString data = folder.path() + QStringLiteral("/data");
    const auto pathsIn = [&](const QString& runtime) { return pathsWithRuntime(runtime, data); };
    const QString desktop = folder.path() + QStringLiteral("/desktop");
    SingleInstance running(pathsIn(desktop));
    ASSERT_EQ(running.claim(), SingleInstance::Claim::first);
    int reopened = 0;
    running.serve([&] { ++reopened; });

    EXPECT_EQ(launchAgain(pathsIn(folder.path() + QStringLiteral("/terminal"))), SingleInstance::Claim::handedOver);
    EXPECT_EQ(reopened, 1);

    const SingleInstance::Paths desktopPaths = pathsIn(desktop);
    ASSERT_TRUE(QDir(desktop).removeRecursively());
    EXPECT_SOON(QFileInfo::exists(desktopPaths.socket), 10000);
    EXPECT_EQ(launchAgain(desktopPaths), SingleInstance::Claim::handedOver);
    EXPECT_EQ(reopened, 2);
}

// What a cleaner of the temporary folder or a tidy user deletes is made again each time, however
// often: the socket and its folder, twice each, the socket while Tavlin still starts, and
// instance.lock, whose loss must not let a launch from another runtime folder start a second.
TEST(SingleInstance, WhatIsDeletedIsMadeAgainEveryTime)
{
    const EnvironmentRestorer restorer({"XDG_RUNTIME_DIR", "TMPDIR"});
    TemporaryFolder folder;
    const QString data = folder.path() + QStringLiteral("/data");
    const auto pathsIn = [&](const QString& runtime) { return pathsWithRuntime(runtime, data); };
    const QString desktop = folder.path() + QStringLiteral("/desktop");
    const SingleInstance::Paths desktopPaths = pathsIn(desktop);
    const SingleInstance::Paths terminalPaths = pathsIn(folder.path() + QStringLiteral("/terminal"));
    SingleInstance running(desktopPaths);
    ASSERT_EQ(running.claim(), SingleInstance::Claim::first);
    ASSERT_TRUE(QFile::remove(desktopPaths.socket)); // before it serves
    int reopened = 0;
    running.serve([&] { ++reopened; });

    for (int round = 1; round <= 2; ++round) {
        EXPECT_SOON(QFileInfo::exists(desktopPaths.socket), 10000);
        ASSERT_TRUE(QFile::remove(desktopPaths.socket)) << round;
        EXPECT_SOON(QFileInfo::exists(desktopPaths.socket), 10000);
        EXPECT_EQ(launchAgain(desktopPaths), SingleInstance::Claim::handedOver) << round;
        ASSERT_TRUE(QDir(desktop).removeRecursively()) << round;
        EXPECT_SOON(QFileInfo::exists(desktopPaths.socket), 10000);
        EXPECT_EQ(launchAgain(desktopPaths), SingleInstance::Claim::handedOver) << round;
        ASSERT_TRUE(QFile::remove(desktopPaths.historyLock)) << round;
        EXPECT_SOON(QFileInfo::exists(desktopPaths.historyLock), 10000);
        EXPECT_EQ(launchAgain(terminalPaths), SingleInstance::Claim::handedOver) << round;
    }
    EXPECT_EQ(reopened, 6);

    // A launch that makes instance.lock anew before the running instance could.
    ASSERT_TRUE(QFile::remove(desktopPaths.historyLock));
    {
        SingleInstance intruder(terminalPaths);
        EXPECT_EQ(intruder.claim(300ms), SingleInstance::Claim::unanswered) << "a second instance started";
    }
    EXPECT_EQ(launchAgain(terminalPaths), SingleInstance::Claim::handedOver);
}

TEST(SingleInstance, OnlyAShortReopenLineIsARequest)
{
    using InstanceChannel::Request;
    EXPECT_EQ(InstanceChannel::request(""), Request::incomplete);
    EXPECT_EQ(InstanceChannel::request("reop"), Request::incomplete);
    EXPECT_EQ(InstanceChannel::request("reopen\n"), Request::reopen);
    EXPECT_EQ(InstanceChannel::request("quit\n"), Request::refused);
    EXPECT_EQ(InstanceChannel::request("reopen now\n"), Request::refused);
    const std::string unending(InstanceChannel::requestLimit, 'r');
    EXPECT_EQ(InstanceChannel::request(unending.substr(1)), Request::incomplete);
    EXPECT_EQ(InstanceChannel::request(unending), Request::refused) << "no newline in sight: nothing more is read";
}

// A launch while Tavlin runs is answered by the launcher alone: copied without the application
// beside it, it still hands over; with nobody running it can only try to become the application.
TEST(SingleInstance, ALaunchWhileTavlinRunsIsAnsweredBeforeTheApplicationLoads)
{
    const EnvironmentRestorer restorer({"XDG_RUNTIME_DIR", "TMPDIR"});
    TemporaryFolder folder;
    const QString launcher = folder.path() + QStringLiteral("/tavlin");
    ASSERT_TRUE(QFile::copy(QStringLiteral(TAVLIN_LAUNCHER), launcher));
    const QString runtime = folder.path() + QStringLiteral("/run");
    QDir().mkpath(runtime);
    ::chmod(QFile::encodeName(runtime).constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    const auto launch = [&](QProcess& process) {
        process.start(launcher, {});
        return QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20000);
    };
    {
        SingleInstance running(SingleInstance::defaultPaths(folder.path()));
        ASSERT_EQ(running.claim(), SingleInstance::Claim::first);
        int reopened = 0;
        running.serve([&] { ++reopened; });
        QProcess again;
        ASSERT_TRUE(launch(again));
        EXPECT_EQ(again.exitCode(), 0) << again.readAllStandardError().toStdString();
        EXPECT_EQ(reopened, 1);
    }
    QProcess alone;
    ASSERT_TRUE(launch(alone));
    EXPECT_EQ(alone.exitCode(), 127);
    EXPECT_TRUE(alone.readAllStandardError().contains("cannot start"));
}
