#pragma once

// A session bus with the accessibility bus on it, for as long as it lives: the application then
// publishes its controls, and accessible.py finds one by its accessible name as a screen reader
// does.
#include "ApplicationProfile.h"

namespace tavlin::test {

struct AssistiveTechnology {
    QProcess bus;
    QProcess launcher;
    // A listener for as long as this lives, started before any application: see attend() in
    // accessible.py.
    QProcess attendant;
    QString address;

    AssistiveTechnology()
    {
        // In the runtime folder: the session bus's own configuration would put the socket in /tmp,
        // and leave it there.
        bus.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1"),
                   QStringLiteral("--address=unix:runtime=yes")});
        if (bus.waitForReadyRead(5000))
            address = QString::fromUtf8(bus.readLine().trimmed());
        launcher.setProcessEnvironment(environment(QProcessEnvironment::systemEnvironment()));
        launcher.start(QStringLiteral("/usr/libexec/at-spi-bus-launcher"), {QStringLiteral("--launch-immediately")});
        launcher.waitForStarted(5000);
        // A client that asks before the launcher answers, as under load, settles on the session bus
        // instead and hears nothing: the attendant would stand by in vain.
        if (!QTest::qWaitFor([&] { return accessibilityBusReady(); }, 15000))
            ADD_FAILURE() << "the accessibility bus did not come up";
        attendant.setProcessEnvironment(environment(QProcessEnvironment::systemEnvironment()));
        attendant.start(QStringLiteral("/usr/bin/python3"),
                        {QStringLiteral(TAVLIN_ACCESSIBLE_SCRIPT), QStringLiteral("attend")});
        if (!QTest::qWaitFor([&] { return attendant.canReadLine(); }, 10000)) // "attending"
            ADD_FAILURE() << "the attendant never stood by";
    }
    ~AssistiveTechnology()
    {
        for (QProcess* process : {&attendant, &launcher, &bus}) {
            process->terminate();
            process->waitForFinished(5000);
        }
    }

    // Whether the launcher gives the accessibility bus's address.
    bool accessibilityBusReady() const
    {
        QProcess ask;
        ask.setProcessEnvironment(environment(QProcessEnvironment::systemEnvironment()));
        ask.start(QStringLiteral("dbus-send"),
                  {QStringLiteral("--session"), QStringLiteral("--print-reply"), QStringLiteral("--dest=org.a11y.Bus"),
                   QStringLiteral("/org/a11y/bus"), QStringLiteral("org.a11y.Bus.GetAddress")});
        ask.waitForFinished(5000);
        return QString::fromUtf8(ask.readAllStandardOutput()).contains(QStringLiteral("string \"unix:"));
    }

    QProcessEnvironment environment(QProcessEnvironment base) const
    {
        base.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        base.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
        return base;
    }

    std::unique_ptr<QProcess> launch(const Profile& profile) const
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment(profile.environment()));
        process->start(QStringLiteral(TAVLIN_APPLICATION), QStringList());
        process->waitForStarted(5000);
        return process;
    }

    // "press", "focus", "find", "gone" or "point" the showing control of that name, in the window
    // of that accessible name if one is given; true once done.
    bool ask(const char* command, const QString& name, QString* output = nullptr, const QString& window = {}) const
    {
        QProcess helper;
        helper.setProcessEnvironment(environment(QProcessEnvironment::systemEnvironment()));
        QStringList arguments{QStringLiteral(TAVLIN_ACCESSIBLE_SCRIPT), QString::fromLatin1(command), name};
        if (!window.isEmpty())
            arguments << window;
        helper.start(QStringLiteral("/usr/bin/python3"), arguments);
        const bool done = exitsWith(helper, 0, 20000);
        if (output)
            *output = QString::fromUtf8(helper.readAllStandardOutput());
        return done;
    }
    bool press(const QString& name) const { return ask("press", name); }
    // Clicks the showing control of that name with the mouse, as a user does.
    bool click(const QString& name) const
    {
        QString point;
        if (!ask("point", name, &point))
            return false;
        run(QStringLiteral("xdotool mousemove %1 click 1").arg(point.trimmed()));
        return true;
    }

    // Starts listening to what a screen reader is told (focus moving, windows activated,
    // names changed, selections, checks, expansions) for `seconds`; `told` then gives it. With `selections`, each focus
    // on an item is followed by the items the listener holds for selected ("selected|a;b").
    std::unique_ptr<QProcess> listen(int seconds, bool selections = false) const
    {
        return listening(selections ? QStringLiteral("follow") : QStringLiteral("listen"), seconds);
    }
    // Starts listening for `seconds` to the texts assistive technology is told inserted or
    // deleted; `told` then gives them, "insert|role|name|TEXT" or "delete|role|name|LENGTH" a line.
    std::unique_ptr<QProcess> textListener(int seconds) const { return listening(QStringLiteral("texts"), seconds); }
    // Starts listening for `seconds` to every event of every object, as Orca does; `told` then
    // gives them, "event|detail|role|name" a line.
    std::unique_ptr<QProcess> allListener(int seconds) const { return listening(QStringLiteral("all"), seconds); }
    // Starts listening as a screen reader such as Orca speaks, for `seconds`: `spoken` then gives
    // what it said (see speak in accessible.py). What counts is what a reader does with the events,
    // not the events alone: it stays quiet for a focus event on the object it is on.
    std::unique_ptr<QProcess> speaker(int seconds) const { return listening(QStringLiteral("speak"), seconds); }
    // accessible.py's listening `mode` for `seconds`, once it says it listens.
    std::unique_ptr<QProcess> listening(const QString& mode, int seconds) const
    {
        auto helper = std::make_unique<QProcess>();
        helper->setProcessEnvironment(environment(QProcessEnvironment::systemEnvironment()));
        helper->start(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(TAVLIN_ACCESSIBLE_SCRIPT), mode, QString::number(seconds)});
        if (!QTest::qWaitFor([&] { return helper->canReadLine(); }, 10000)) // "listening"
            ADD_FAILURE() << "the " << mode.toStdString() << " listener never started";
        helper->readLine();
        return helper;
    }
    // What the speaker said, one utterance a line: "TEXT", or "TEXT|LIST NAME: ITEMS" for an item
    // of a list.
    static QStringList spoken(QProcess& speaker)
    {
        QStringList said;
        for (const QString& line : told(speaker)) {
            if (line.startsWith(QLatin1String("said|")))
                said.append(line.mid(5));
        }
        return said;
    }
    // Starts watching what the items of the showing list of that name (in the window of that
    // accessible name) hold: the first children any of them has, and their going; `told` then
    // gives them, "item|role|states|name" a line, and "gone".
    std::unique_ptr<QProcess> watchInside(const QString& list, const QString& window) const
    {
        auto helper = std::make_unique<QProcess>();
        helper->setProcessEnvironment(environment(QProcessEnvironment::systemEnvironment()));
        helper->start(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(TAVLIN_ACCESSIBLE_SCRIPT), QStringLiteral("inside"), list, window});
        if (!QTest::qWaitFor([&] { return helper->canReadLine(); }, 15000)) // "watching"
            ADD_FAILURE() << "the watcher never started";
        helper->readLine();
        return helper;
    }
    // Ends a listener once it has been told nothing for a while (the keys sent have all been
    // answered), by closing its input; `told` then gives what it heard.
    static void stopOnceQuiet(QProcess& listener)
    {
        qint64 heard = -1;
        QTest::qWaitFor(
            [&] {
                if (listener.bytesAvailable() == heard)
                    return true;
                heard = listener.bytesAvailable();
                QTest::qWait(deadline(2000));
                return false;
            },
            deadline(60000));
        listener.closeWriteChannel();
    }
    // What the listener was told, one event a line: "event|detail|role|states|name|parent role|
    // parent name", the states (showing, focused, ...) sorted and joined with commas.
    static QStringList told(QProcess& listener)
    {
        listener.waitForFinished(60000);
        return QString::fromUtf8(listener.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }

    // What a screen reader hears of each showing control of that name, one line each:
    // "role|states|text", the states (checked, selected, ...) sorted and joined with commas.
    QStringList hear(const QString& name) const
    {
        QString heard;
        ask("hear", name, &heard);
        return heard.split(u'\n', Qt::SkipEmptyParts);
    }
};

} // namespace tavlin::test
