#pragma once

// The real application in a profile of its own (home, configuration, data and runtime folders),
// and a desktop with a window manager and a tray, for the end-to-end tests that start it as a
// user would.
#include "ProcessExit.h"
#include "StoreTestSupport.h"
#include "TemporaryFolder.h"
#include "TestDeadline.h"
#include "ThrowAwayHome.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <memory>
#include <optional>

#include <unistd.h>

namespace tavlin::test {

// The launcher with the application beside it, where it looks first, copied into a folder anyone
// may read: a build can lie where only its owner reaches (under /root, in a 0700 temporary
// folder). For the tests that run it as another user; made once, removed at exit.
inline QString launcherForAnyUser()
{
    static TemporaryFolder folder;
    static const QString launcher = [] {
        constexpr auto readable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
            | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        QFile::setPermissions(folder.path(), readable);
        const QFileInfo built(QStringLiteral(TAVLIN_APPLICATION));
        for (const QString& name : {built.fileName(), QStringLiteral("tavlin-app")}) {
            const QString copy = folder.path() + u'/' + name;
            if (!QFile::copy(built.absolutePath() + u'/' + name, copy) || !QFile::setPermissions(copy, readable))
                ADD_FAILURE() << "cannot copy " << name.toStdString() << " for another user";
        }
        return folder.path() + u'/' + built.fileName();
    }();
    return launcher;
}

struct Profile {
    TemporaryFolder folder;
    QString home = folder.path() + QStringLiteral("/home");
    QString runtime = folder.path() + QStringLiteral("/run");
    QString database = home + QStringLiteral("/.local/share/Tavlin/history.sqlite");

    Profile()
    {
        QDir().mkpath(home);
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // Whatever still runs in this profile (a Tavlin that restarted itself, one a failed test left)
    // ends first: it would make its socket again in the folder being removed.
    ~Profile()
    {
        if (!endPrograms(programsWithHomeIn(home), SIGKILL, 5000))
            ADD_FAILURE() << "a program left running in the profile did not end";
    }
    Profile(const Profile&) = delete;
    Profile& operator=(const Profile&) = delete;

    // Preferences as the application stores them: an XML property list.
    void store(const QByteArray& plistBody)
    {
        QDir().mkpath(home + QStringLiteral("/.config/Tavlin"));
        writeFile(home + QStringLiteral("/.config/Tavlin/org.tavlin.Tavlin.plist"),
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + plistBody
                      + "</dict></plist>\n");
    }

    // Past the introduction, with the Quick Panel on a shortcut the window manager leaves free
    // (Ctrl+Alt+K) and the `more` preferences given.
    void storeKnown(const QByteArray& more = {});

    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("org.tavlin.Tavlin.delegate.debug=true"));
        // English, whatever the desktop's language, for the tests look for its texts; a test of
        // another language sets that over this.
        const QStringList variables = environment.keys();
        for (const QString& variable : variables) {
            if (variable.startsWith(QLatin1String("LC_")) || variable == u"LANGUAGE")
                environment.remove(variable);
        }
        environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        return environment;
    }

    QString socket() const { return runtime + QStringLiteral("/org.tavlin.Tavlin.socket"); }

    std::unique_ptr<QProcess> launch(const std::optional<QProcessEnvironment>& environment = std::nullopt) const
    {
        auto process = start(environment);
        process->waitForStarted(5000);
        return process;
    }

    // Without waiting for it to start: for launches in the same instant.
    std::unique_ptr<QProcess> start(const std::optional<QProcessEnvironment>& environment = std::nullopt) const
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment.value_or(this->environment()));
        process->start(QStringLiteral(TAVLIN_APPLICATION), QStringList());
        return process;
    }

    // As an unprivileged user when the tests run as root, so that file permissions hold for it.
    std::unique_ptr<QProcess> launchUnprivileged(
        const std::optional<QProcessEnvironment>& environment = std::nullopt) const
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment.value_or(this->environment()));
        if (::geteuid() == 0) {
            process->start(QStringLiteral("setpriv"),
                           {QStringLiteral("--reuid=%1").arg(unprivilegedUserID),
                            QStringLiteral("--regid=%1").arg(unprivilegedUserID), QStringLiteral("--clear-groups"),
                            launcherForAnyUser()});
        } else {
            process->start(QStringLiteral(TAVLIN_APPLICATION), QStringList());
        }
        process->waitForStarted(5000);
        return process;
    }
};

// Ctrl+Alt+K, in the stored form of the shortcut: JSON {"keyCode":40,"modifiers":6144} as data.
inline const QByteArray freeShortcut =
    "<key>quickPanel.shortcut</key><data>eyJrZXlDb2RlIjo0MCwibW9kaWZpZXJzIjo2MTQ0fQ==</data>";

inline void Profile::storeKnown(const QByteArray& more)
{
    store("<key>onboarding.completed</key><true/>" + more + freeShortcut);
}

inline bool waitUntil(const std::function<bool()>& condition, int milliseconds)
{
    return QTest::qWaitFor(condition, deadline(milliseconds));
}

// Waits until a helper program (xdotool, xprop, a shell) has ended, however long a loaded machine
// makes it take: one cut off halfway and killed as its QProcess goes would leave the rest of its
// keys unsent, or a key or a modifier held down for whatever comes next. A helper that never
// ends is a failure of its own, named, rather than a quiet half of what the test asked for.
inline bool finished(QProcess& process, const QString& what)
{
    if (process.waitForFinished(deadline(60000)))
        return true;
    ADD_FAILURE() << "still running after a minute: " << what.toStdString();
    return false;
}

// The trimmed output of a command line.
inline QString run(const QString& commandLine)
{
    QProcess process;
    process.startCommand(commandLine);
    finished(process, commandLine);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// Waits until the application monitors the clipboard (its debug log says so), collecting its
// standard error into `log`. Its socket appears earlier, before the application object exists.
inline bool waitForMonitoring(QProcess& application, QByteArray& log)
{
    return waitUntil(
        [&] {
            log += application.readAllStandardError();
            return log.contains("Monitoring started");
        },
        10000);
}

// The windows an `xdotool search` with these criteria finds. xdotool drops the whole search,
// printing nothing, when a window it looks at is destroyed meanwhile (a window manager's frame, a
// closing window): that search is made again rather than taken for "no such window".
inline QStringList searchWindows(const QString& criteria)
{
    for (int attempt = 0;; ++attempt) {
        QProcess process;
        process.startCommand(QStringLiteral("xdotool search ") + criteria);
        finished(process, QStringLiteral("xdotool search ") + criteria);
        const QString found = QString::fromUtf8(process.readAllStandardOutput());
        if (attempt == 20 || !process.readAllStandardError().contains("X Error"))
            return found.split(u'\n', Qt::SkipEmptyParts);
    }
}

// Visible top-level windows whose title matches.
inline QStringList windowsNamed(const QString& pattern)
{
    return searchWindows(QStringLiteral("--onlyvisible --name ") + pattern);
}

// Activates the visible window whose title matches, as a click on it would, and waits until it is.
// On a loaded machine the window may not be mapped yet, and the window manager may take a while
// to hand it the keyboard: keys sent before then go elsewhere.
inline bool activateWindowNamed(const QString& pattern)
{
    QString window;
    if (!waitUntil([&] { return !(window = windowsNamed(pattern).value(0)).isEmpty(); }, 10000))
        return false;
    run(QStringLiteral("xdotool windowactivate --sync ") + window);
    return waitUntil([&] { return run(QStringLiteral("xdotool getwindowfocus")) == window; }, 10000);
}

// Starts xterm as a helper window named `title`, running sleep rather than the user's shell,
// whose start-up files (Debian's ~/.bashrc) retitle the window at the first prompt.
inline void startTerminal(QProcess& terminal, const QString& title, const QStringList& options = {})
{
    terminal.start(QStringLiteral("xterm"),
                   options
                       + QStringList{QStringLiteral("-title"), title, QStringLiteral("-e"), QStringLiteral("sleep"),
                                     QStringLiteral("1000000")});
}

// Copies text as a user does, with xclip, which keeps serving it from a process of its own.
inline void copyWithXclip(const QString& text)
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard")});
    xclip.write(text.toUtf8());
    xclip.closeWriteChannel();
    EXPECT_TRUE(xclip.waitForFinished(10000));
}

inline qint64 records(const Profile& profile)
{
    if (!QFile::exists(profile.database))
        return 0;
    try {
        return queryInteger(profile.database, QStringLiteral("SELECT COUNT(*) FROM clips"));
    } catch (const std::exception&) {
        return 0; // not created yet
    }
}

// A desktop with a window manager and a tray tinted dark, as on many Linux desktops.
struct Desktop {
    QProcess windowManager;
    QProcess tray;

    // `tint`: the panel's colour, as trayer takes it.
    explicit Desktop(bool withWindowManager = true, const QString& tint = QStringLiteral("0x202020"))
    {
        if (withWindowManager) {
            windowManager.startCommand(QStringLiteral("openbox"));
        } else {
            // What an earlier window manager of this display left on the root window would tell
            // the application that one is still there.
            for (const char* property : {"_NET_SUPPORTED", "_NET_SUPPORTING_WM_CHECK", "_NET_ACTIVE_WINDOW"})
                run(QStringLiteral("xprop -root -remove ") + QLatin1String(property));
        }
        tray.startCommand(
            QStringLiteral("trayer --edge top --align left --widthtype request --height 32 --SetDockType true "
                           "--transparent true --tint %1 --alpha 0")
                .arg(tint));
        const auto ready = [withWindowManager] {
            return !panel().isEmpty()
                && (!withWindowManager
                    || !run(QStringLiteral("xprop -root _NET_SUPPORTING_WM_CHECK")).contains(u"not found"));
        };
        if (!QTest::qWaitFor(ready, 10000))
            ADD_FAILURE() << "openbox and trayer did not start";
    }
    ~Desktop()
    {
        for (QProcess* process : {&tray, &windowManager}) {
            process->kill();
            process->waitForFinished(5000);
        }
    }

    static QString panel() { return searchWindows(QStringLiteral("--classname ^panel$")).value(0); }
    // The icon is the tray's only one: a click near the tray's left end lands on it.
    static void clickTray(int button = 1)
    {
        run(QStringLiteral("xdotool mousemove --window %1 10 12 click %2").arg(panel()).arg(button));
    }
    // Whether the tray shows Tavlin's icon: it has taken the icon's window, named "Tavlin", in.
    static bool holdsIcon() { return run(QStringLiteral("xwininfo -tree -id ") + panel()).contains(u"\"Tavlin\":"); }
    static QString activeWindowName() { return run(QStringLiteral("xdotool getactivewindow getwindowname")); }
    // The window with the keyboard, with or without a window manager to call it active.
    static QString focusedWindow() { return run(QStringLiteral("xdotool getwindowfocus")); }
    static QString focusedWindowName() { return run(QStringLiteral("xdotool getwindowfocus getwindowname")); }

    // Opens the history window with a click on Tavlin's icon, once the tray holds it, and waits
    // until the window has the keyboard; returns that window's id, or nothing when it never did.
    // The tray's icon is named "Tavlin" too: the window is the one given the keyboard. A click
    // can hide a history window the application took for the active one, so one that brings no
    // window is made again, but only after a wait long enough for a loaded machine to show it.
    static QString openHistory()
    {
        if (!waitUntil(holdsIcon, 20000))
            return {};
        QString history;
        const auto focused = [&] {
            history = focusedWindow();
            return run(QStringLiteral("xdotool getwindowname ") + history) == u"Tavlin";
        };
        const bool opened = waitUntil(
            [&] {
                clickTray();
                return waitUntil(focused, 4000);
            },
            30000);
        return opened ? history : QString();
    }
    // Opens Tavlin's menu with a right click on its icon and waits until the menu is on screen.
    static bool openMenu()
    {
        if (!waitUntil(holdsIcon, 20000))
            return false;
        const QString ours = QStringLiteral("--onlyvisible --class ^Tavlin$");
        const QStringList before = searchWindows(ours);
        clickTray(3);
        return waitUntil(
            [&] {
                const QStringList shown = searchWindows(ours);
                return std::any_of(shown.begin(), shown.end(),
                                   [&](const QString& window) { return !before.contains(window); });
            },
            10000);
    }
    // Types `keys` into `window` once it has the keyboard; false when it does not get it.
    static bool type(const QString& window, const QString& keys)
    {
        if (!waitUntil([&] { return focusedWindow() == window; }, 10000))
            return false;
        run(QStringLiteral("xdotool key --delay 60 ") + keys);
        return true;
    }
};

} // namespace tavlin::test
