// Launching the real application on a private Xvfb: whatever connects to its socket, a later
// launch is still answered; one instance runs whatever $XDG_RUNTIME_DIR names; a launch that meets
// a quitting one starts Tavlin once it has gone; a link at the socket's place is not followed; and
// a desktop without a tray is shown the history window, an ordinary one, which stays.
#include "ApplicationProfile.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace std::chrono_literals;
using namespace tavlin::test;

namespace {

// A connection to the application's socket that sends nothing, or -1 once nothing answers there.
int connectIdle(const QString& socket)
{
    sockaddr_un address{};
    if (!unixSocketAddress(socket, address)) {
        ADD_FAILURE() << "too long for a socket: " << socket.toStdString();
        return -1;
    }
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (std::chrono::steady_clock::now() < deadline) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
            return fd;
        const int error = errno;
        ::close(fd);
        if (error != EAGAIN)
            return -1;
        std::this_thread::sleep_for(5ms); // the queue is full: the application takes them in turn
    }
    return -1;
}

qint64 residentKilobytes(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// How many connections wait on the listening socket at `path`, not yet taken.
int waitingConnections(const QString& path)
{
    QProcess sockets;
    sockets.start(QStringLiteral("ss"), {QStringLiteral("-xlH")});
    sockets.waitForFinished(5000);
    for (const QString& line : QString::fromLocal8Bit(sockets.readAllStandardOutput()).split(u'\n')) {
        if (line.contains(u' ' + path + u' '))
            return line.split(u' ', Qt::SkipEmptyParts).value(2).toInt();
    }
    return 0;
}

bool quickPanelShown()
{
    QProcess search;
    search.start(QStringLiteral("xdotool"),
                 {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                  QStringLiteral("^Tavlin Quick Panel$")});
    search.waitForFinished(5000);
    return !search.readAllStandardOutput().trimmed().isEmpty();
}

bool historyShown()
{
    return !windowsNamed(QStringLiteral("^Tavlin$")).isEmpty();
}

bool keptAbove(const QString& window)
{
    return run(QStringLiteral("xprop -id %1 _NET_WM_STATE").arg(window)).contains(u"_NET_WM_STATE_ABOVE");
}

bool minimised(const QString& window)
{
    return run(QStringLiteral("xprop -id %1 WM_STATE").arg(window)).contains(u"Iconic");
}

// Where the window manager stacks `window` among the windows it manages, from the bottom.
qsizetype stackingPlace(const QString& window)
{
    const QString stacking = run(QStringLiteral("xprop -root _NET_CLIENT_LIST_STACKING")).section(u'#', 1);
    QList<uint> windows;
    for (const QString& id : stacking.split(u',', Qt::SkipEmptyParts))
        windows.append(id.trimmed().toUInt(nullptr, 16));
    return windows.indexOf(window.toUInt());
}

// Whether the application has caught up with its windows: it answers a window manager's ping in
// turn after the events that came before, among them the map of a window it asked to activate,
// which Qt holds the activation back for. Until then that activation may still come, later than
// whatever another window does meanwhile.
bool settled(const QProcess& application)
{
    return QProcess::execute(QStringLiteral("/usr/bin/python3"),
                             {QStringLiteral(TAVLIN_NETWM_PING_SCRIPT), QString::number(application.processId()),
                              QStringLiteral("--once")})
        == 0;
}

// Closes the history window with Ctrl+W, as a user would, once it has the keyboard.
bool closeHistory()
{
    return waitUntil(
        [] {
            const QString window = windowsNamed(QStringLiteral("^Tavlin$")).value(0);
            if (window.isEmpty())
                return true;
            run(QStringLiteral("xdotool windowactivate --sync ") + window);
            run(QStringLiteral("xdotool key ctrl+w"));
            return waitUntil([] { return !historyShown(); }, 2000);
        },
        20000);
}

// Presses the Quick Panel's shortcut until the panel shows: a press made while the window
// manager still moves the keyboard after a closed window can go unseen. Then Escape closes it
// once it has the keyboard.
bool openAndCloseQuickPanel()
{
    bool shown = false;
    for (int press = 0; press < 3 && !shown; ++press) {
        run(QStringLiteral("xdotool key ctrl+alt+k"));
        shown = waitUntil(quickPanelShown, 10000);
    }
    return shown
        && waitUntil(
               [] {
                   if (Desktop::activeWindowName() == u"Tavlin Quick Panel")
                       run(QStringLiteral("xdotool key Escape"));
                   return waitUntil([] { return !quickPanelShown(); }, 1000);
               },
               20000);
}

std::unique_ptr<QProcess> launchKnown(Profile& profile, const std::optional<QProcessEnvironment>& environment = {})
{
    profile.storeKnown();
    auto application = profile.launch(environment);
    QByteArray log;
    EXPECT_TRUE(waitForMonitoring(*application, log)) << log.toStdString();
    return application;
}

// A second launch in `environment` hands over to the first and leaves one Tavlin running.
void expectOneInstance(const std::function<std::unique_ptr<QProcess>()>& launch, const char* situation)
{
    auto first = launch();
    QByteArray log;
    ASSERT_TRUE(waitForMonitoring(*first, log)) << situation << "\n" << log.toStdString();
    auto second = launch();
    const bool finished = second->waitForFinished(30000);
    if (!finished) {
        second->kill();
        second->waitForFinished(5000);
    }
    EXPECT_TRUE(finished) << situation << ": a second instance runs\n" << second->readAllStandardError().toStdString();
    EXPECT_EQ(second->exitCode(), 0) << situation << "\n" << second->readAllStandardError().toStdString();
    EXPECT_EQ(first->state(), QProcess::Running) << situation;
    stop(*first);
}

} // namespace

// With the usual limit of 1024 open files, 1100 connections that never say anything neither keep
// a later launch from being answered nor leave the application without descriptors; a client
// that sends without end is cut off instead of being kept in memory.
TEST(LaunchEndToEnd, WhatConnectsToTheSocketCannotSilenceItNorExhaustTheApplication)
{
    Desktop desktop;
    Profile profile;
    profile.storeKnown();
    QProcess application;
    application.setProcessEnvironment(profile.environment());
    application.start(QStringLiteral("prlimit"),
                      {QStringLiteral("--nofile=1024"), QStringLiteral("--"), QStringLiteral(TAVLIN_APPLICATION)});
    QByteArray log;
    ASSERT_TRUE(waitForMonitoring(application, log)) << log.toStdString();

    const qint64 before = residentKilobytes(application.processId());
    const int talker = connectIdle(profile.socket());
    ASSERT_GE(talker, 0);
    const QByteArray chunk(64 * 1024, 'r');
    qint64 sent = 0;
    bool cutOff = false;
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (!cutOff && sent < 64 * 1024 * 1024 && std::chrono::steady_clock::now() < deadline) {
        pollfd writable{talker, POLLOUT, 0};
        if (::poll(&writable, 1, 1000) <= 0)
            continue;
        const ssize_t count = ::send(talker, chunk.constData(), std::size_t(chunk.size()), MSG_NOSIGNAL);
        if (count > 0)
            sent += count;
        else if (count < 0 && errno != EAGAIN && errno != EINTR)
            cutOff = true;
    }
    ::close(talker);
    EXPECT_TRUE(cutOff) << sent << " bytes were taken without a newline";
    // Half of what was sent: the application may still be settling in meanwhile.
    EXPECT_LT(residentKilobytes(application.processId()) - before, 32 * 1024);

    // Half of them from a child process: this one keeps the user's limit of 1,024 open files too,
    // and a login's hard limit may allow no more.
    int counted[2];
    int release[2];
    ASSERT_EQ(::pipe2(counted, O_CLOEXEC), 0);
    ASSERT_EQ(::pipe2(release, O_CLOEXEC), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        ::close(counted[0]);
        ::close(release[1]);
        int held = 0;
        while (held < 550 && connectIdle(profile.socket()) >= 0)
            ++held;
        char end = 0;
        const bool told = ::write(counted[1], &held, sizeof held) == sizeof held;
        ::_exit(told && ::read(release[0], &end, 1) >= 0 ? 0 : 1); // until this process lets go
    }
    ::close(counted[1]);
    ::close(release[0]);
    int heldByChild = 0;
    EXPECT_EQ(::read(counted[0], &heldByChild, sizeof heldByChild), ssize_t(sizeof heldByChild));
    ::close(counted[0]);
    std::vector<int> idle;
    for (int connection = 0; connection < 550; ++connection) {
        const int fd = connectIdle(profile.socket());
        if (fd < 0)
            break;
        idle.push_back(fd);
    }
    EXPECT_EQ(std::size_t(heldByChild) + idle.size(), 1100u) << "the socket stopped answering";

    auto later = profile.launch();
    EXPECT_TRUE(exitsWith(*later, 0, 30000)) << later->readAllStandardError().toStdString();
    EXPECT_TRUE(waitUntil(historyShown, 15000)) << "the later launch brought the window forward";
    EXPECT_TRUE(openAndCloseQuickPanel());
    QTest::qWait(500);
    EXPECT_EQ(application.state(), QProcess::Running) << application.readAllStandardError().toStdString();
    for (const int fd : idle)
        ::close(fd);
    ::close(release[1]);
    ::waitpid(holder, nullptr, 0);
    stop(application);
}

// A missing $XDG_RUNTIME_DIR is made, one we may not write to is passed over: the next launch
// must still find the first where it looks.
TEST(LaunchEndToEnd, OneInstanceRunsWhateverTheRuntimeFolderIs)
{
    {
        Profile profile;
        profile.storeKnown();
        QProcessEnvironment environment = profile.environment();
        // The temporary folder, where the first would otherwise go, is the profile's own.
        QDir().mkpath(profile.folder.path() + QStringLiteral("/tmp"));
        environment.insert(QStringLiteral("TMPDIR"), profile.folder.path() + QStringLiteral("/tmp"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), profile.folder.path() + QStringLiteral("/missing"));
        expectOneInstance([&] { return profile.launch(environment); }, "a missing runtime folder");
    }
    {
        Profile profile;
        profile.storeKnown();
        QDir().mkpath(profile.folder.path() + QStringLiteral("/tmp"));
        profile.folder.giveToUnprivilegedUser();
        ASSERT_EQ(::chmod(QFile::encodeName(profile.runtime).constData(), 0500), 0);
        QProcessEnvironment environment = profile.environment();
        environment.insert(QStringLiteral("TMPDIR"), profile.folder.path() + QStringLiteral("/tmp"));
        expectOneInstance([&] { return profile.launchUnprivileged(environment); },
                          "a runtime folder we may not write to");
    }
    {
        // A terminal or ssh session beside the desktop's has no runtime folder, or another.
        Profile profile;
        profile.storeKnown();
        QDir().mkpath(profile.folder.path() + QStringLiteral("/tmp"));
        bool later = false;
        expectOneInstance(
            [&] {
                QProcessEnvironment environment = profile.environment();
                if (std::exchange(later, true)) {
                    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
                    environment.insert(QStringLiteral("TMPDIR"), profile.folder.path() + QStringLiteral("/tmp"));
                }
                return profile.launch(environment);
            },
            "a later launch without the first one's runtime folder");
    }
}

// Ended (SIGTERM) just as it is launched again, as a restart from a script does: the quitting
// Tavlin tells no launch that it reopens, neither one whose request it reads in the same instant
// nor one still waiting to be taken, and that launch starts Tavlin once it has gone.
TEST(LaunchEndToEnd, ALaunchMeetingAQuittingTavlinStartsItOnceItHasGone)
{
    Desktop desktop;
    Profile profile;
    auto first = launchKnown(profile);
    const int asking = connectIdle(profile.socket());
    ASSERT_GE(asking, 0);
    ASSERT_TRUE(waitUntil([&] { return waitingConnections(profile.socket()) == 0; }, 10000));
    // Stopped, so that the signal and the requests reach it together.
    const pid_t pid = pid_t(first->processId());
    ASSERT_EQ(::kill(pid, SIGSTOP), 0);
    ASSERT_EQ(::send(asking, "reopen\n", 7, MSG_NOSIGNAL), 7);
    // To its main thread, which takes a signal sent to a running Tavlin; a stopped one would leave
    // it to whichever thread wakes first.
    ASSERT_EQ(::syscall(SYS_tgkill, pid, pid, SIGTERM), 0);
    auto later = profile.launch();
    EXPECT_TRUE(waitUntil([&] { return waitingConnections(profile.socket()) > 0; }, 10000));
    ASSERT_EQ(::kill(pid, SIGCONT), 0);

    char answer[8] = {};
    pollfd readable{asking, POLLIN, 0};
    EXPECT_LE(::poll(&readable, 1, 10000) > 0 ? ::recv(asking, answer, sizeof answer - 1, 0) : 1, 0)
        << "a quitting Tavlin said " << answer;
    ::close(asking);
    EXPECT_TRUE(exitsWith(*first, 0)) << first->readAllStandardError().toStdString();
    QByteArray log;
    EXPECT_TRUE(waitForMonitoring(*later, log)) << "no Tavlin runs after the launch\n" << log.toStdString();
    EXPECT_EQ(later->state(), QProcess::Running);
    stop(*later);
}

// A link at the socket's place leads the launch nowhere: it starts Tavlin, which takes the place.
TEST(LaunchEndToEnd, ALinkAtTheSocketsPlaceIsNotFollowed)
{
    Profile profile;
    const QString decoy = profile.folder.path() + QStringLiteral("/decoy.socket");
    sockaddr_un address{};
    ASSERT_TRUE(unixSocketAddress(decoy, address)) << "too long for a socket: " << decoy.toStdString();
    const int listening = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(::bind(listening, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listening, 16), 0);
    ASSERT_TRUE(QFile::link(decoy, profile.socket()));

    auto application = launchKnown(profile);
    pollfd pending{listening, POLLIN, 0};
    EXPECT_EQ(::poll(&pending, 1, 0), 0) << "the launch connected to where the link leads";
    ::close(listening);
    struct stat info { };
    EXPECT_TRUE(::lstat(QFile::encodeName(profile.socket()).constData(), &info) == 0 && S_ISSOCK(info.st_mode));
    auto later = profile.launch();
    EXPECT_TRUE(exitsWith(*later, 0, 30000)) << later->readAllStandardError().toStdString();
    EXPECT_EQ(application->state(), QProcess::Running);
    stop(*application);
}

// Without a tray Tavlin shows its history window at start and whenever the tray goes, and keeps
// it when another window takes the keyboard; once it is closed, the shortcut still opens the
// Quick Panel and a later launch brings the window back.
TEST(LaunchEndToEnd, WithoutATrayTheHistoryWindowShows)
{
    QProcess windowManager;
    windowManager.startCommand(QStringLiteral("openbox"));
    ASSERT_TRUE(waitUntil(
        [] { return !run(QStringLiteral("xprop -root _NET_SUPPORTING_WM_CHECK")).contains(u"not found"); }, 10000));
    Profile profile;
    auto application = launchKnown(profile);
    EXPECT_TRUE(waitUntil(historyShown, 15000)) << "shown at start\n"
                                                << application->readAllStandardError().toStdString();
    ASSERT_TRUE(settled(*application));
    // The window is all there is of Tavlin: another application taking the keyboard leaves it.
    ASSERT_TRUE(activateWindowNamed(QStringLiteral("^Tavlin$")));
    QProcess other;
    startTerminal(other, QStringLiteral("terminal"));
    ASSERT_TRUE(activateWindowNamed(QStringLiteral("^terminal$")));
    QTest::qWait(1500);
    EXPECT_TRUE(historyShown()) << "hidden when another window took the keyboard";
    // An ordinary window: the terminal goes over it, and the window manager or Ctrl+M minimise it.
    const QString history = windowsNamed(QStringLiteral("^Tavlin$")).value(0);
    EXPECT_FALSE(keptAbove(history));
    EXPECT_GT(stackingPlace(windowsNamed(QStringLiteral("^terminal$")).value(0)), stackingPlace(history));
    // Brought back as the task switcher does.
    const auto restore = [&] {
        run(QStringLiteral("xdotool windowactivate --sync ") + history);
        return waitUntil([&] { return Desktop::focusedWindow() == history; }, 2000);
    };
    run(QStringLiteral("xdotool windowminimize ") + history);
    EXPECT_TRUE(waitUntil([&] { return minimised(history); }, 10000)) << "by the window manager";
    ASSERT_TRUE(waitUntil(restore, 10000));
    run(QStringLiteral("xdotool key ctrl+m"));
    EXPECT_TRUE(waitUntil([&] { return minimised(history); }, 10000)) << "by Ctrl+M";
    ASSERT_TRUE(waitUntil(restore, 10000));
    other.kill();
    other.waitForFinished(5000);

    ASSERT_TRUE(closeHistory());
    EXPECT_TRUE(openAndCloseQuickPanel());
    auto later = profile.launch();
    EXPECT_TRUE(exitsWith(*later, 0, 30000));
    EXPECT_TRUE(waitUntil(historyShown, 15000)) << "brought back by a later launch";
    ASSERT_TRUE(closeHistory());

    // A tray comes: the icon goes into it, and the window stays closed until asked for.
    QProcess tray;
    tray.startCommand(QStringLiteral("trayer --edge top --align left --widthtype request --height 32"));
    ASSERT_TRUE(waitUntil([] { return !Desktop::panel().isEmpty(); }, 10000));
    QTest::qWait(1000);
    EXPECT_FALSE(historyShown());
    const QString floating = Desktop::openHistory();
    EXPECT_FALSE(floating.isEmpty()) << "the icon is in the tray";
    EXPECT_TRUE(keptAbove(floating)) << "floating again";
    ASSERT_TRUE(closeHistory());
    tray.kill();
    tray.waitForFinished(5000);
    EXPECT_TRUE(waitUntil(historyShown, 15000)) << "shown when the tray went\n"
                                                << application->readAllStandardError().toStdString();
    EXPECT_FALSE(keptAbove(windowsNamed(QStringLiteral("^Tavlin$")).value(0))) << "an ordinary window again";
    EXPECT_EQ(application->state(), QProcess::Running);
    windowManager.kill();
    windowManager.waitForFinished(5000);
    stop(*application);
}
