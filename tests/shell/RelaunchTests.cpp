#include "ApplicationRelauncher.h"
#include "InMemoryDefaults.h"
#include "PlistDefaults.h"
#include "StoredPreferences.h"
#include "TemporaryFolder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

QStringList readLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

TEST(ApplicationRelauncher, StartsAFreshInstanceOnlyAfterTheOldOneHasGone)
{
    TemporaryFolder folder;
    const QString log = folder.path() + QStringLiteral("/probe.log");
    const QString defaultsPath = folder.path() + QStringLiteral("/defaults.plist");

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TAVLIN_PROBE_LOG"), log);
    environment.insert(QStringLiteral("TAVLIN_PROBE_DEFAULTS"), defaultsPath);
    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(QStringLiteral(TAVLIN_TEST_LANGUAGE_PROBE), QStringList());
    ASSERT_TRUE(first.waitForStarted(30'000));
    const qint64 firstPid = first.processId();
    // Reaping it here is what lets the waiting shell see it gone.
    ASSERT_TRUE(first.waitForFinished(30'000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0) << "the first instance quits in order after starting the relaunch";

    QElapsedTimer elapsed;
    elapsed.start();
    while (readLines(log).size() < 3 && elapsed.elapsed() < 20'000)
        QThread::msleep(50);
    const QStringList lines = readLines(log);
    ASSERT_EQ(lines.size(), 3) << lines.join(u'|').toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("started %1").arg(firstPid));
    const QStringList second = lines[1].split(u' ');
    ASSERT_EQ(second.size(), 3);
    const qint64 secondPid = second[1].toLongLong();
    EXPECT_NE(secondPid, firstPid);
    EXPECT_EQ(second[2], QStringLiteral("previous-gone"));
    EXPECT_EQ(lines[2], QStringLiteral("reopen interface")) << "the marker survives the relaunch";
    EXPECT_FALSE(PlistDefaults(defaultsPath).object(StoredPreferences::reopenAfterRestart.key).isValid())
        << "and is read only once";
}

TEST(ApplicationRelauncher, AFailedRelaunchTakesTheReopenMarkerBack)
{
    InMemoryDefaults defaults;
    bool markerWhileRelaunching = false;
    EXPECT_FALSE(ApplicationRelauncher::relaunchForLanguage(defaults, [&] {
        markerWhileRelaunching = defaults.string(StoredPreferences::reopenAfterRestart.key)
            == QStringLiteral("interface");
        return false;
    }));
    EXPECT_TRUE(markerWhileRelaunching);
    EXPECT_FALSE(defaults.object(StoredPreferences::reopenAfterRestart.key).isValid());

    EXPECT_TRUE(ApplicationRelauncher::relaunchForLanguage(defaults, [] { return true; }));
    EXPECT_EQ(defaults.string(StoredPreferences::reopenAfterRestart.key), QStringLiteral("interface"));
}

TEST(ApplicationRelauncher, ReopenMarkerIsReadOnceAndOnlyAsAString)
{
    InMemoryDefaults privacy({{StoredPreferences::reopenAfterRestart.key, QStringLiteral("privacy")}});
    EXPECT_EQ(ApplicationRelauncher::takeReopenSection(privacy), QStringLiteral("privacy"));
    EXPECT_EQ(ApplicationRelauncher::takeReopenSection(privacy), std::nullopt);

    InMemoryDefaults number({{StoredPreferences::reopenAfterRestart.key, qint64(3)}});
    EXPECT_EQ(ApplicationRelauncher::takeReopenSection(number), std::nullopt);
    EXPECT_TRUE(number.writtenKeys().isEmpty());
}

TEST(ApplicationRelauncher, TheScriptWaitsForThePidItIsGiven)
{
    // A process that is still running holds the command back; once it ends the command runs, also
    // while it stays a zombie, as a Tavlin does whose parent never reaps it: this test, its parent,
    // reaps it only at the end.
    const pid_t sleeper = ::fork();
    if (sleeper == 0) {
        ::sleep(60);
        ::_exit(0);
    }
    ASSERT_GT(sleeper, 0);
    QProcess waiter;
    waiter.start(QStringLiteral("/bin/sh"),
                 {QStringLiteral("-c"), ApplicationRelauncher::script, QStringLiteral("relaunch"),
                  QString::number(sleeper), QStringLiteral("/bin/echo"), QStringLiteral("ran")});
    EXPECT_TRUE(waiter.waitForStarted());
    EXPECT_FALSE(waiter.waitForFinished(300)) << "still waiting while the process runs";
    ::kill(sleeper, SIGKILL);
    EXPECT_TRUE(waiter.waitForFinished(10'000)) << "a zombie has ended";
    EXPECT_EQ(waiter.readAllStandardOutput(), QByteArray("ran\n"));
    EXPECT_EQ(::waitpid(sleeper, nullptr, 0), sleeper);
}
