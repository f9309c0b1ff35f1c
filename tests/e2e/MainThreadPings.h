#pragma once

#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace tavlin::test {

// Pings the application's main thread from outside until `finish()`, as a window manager does
// (tests/e2e/netwm_ping.py, whose path each test program that uses it defines).
class MainThreadPings {
public:
    explicit MainThreadPings(qint64 pid)
    {
        helper_.start(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(TAVLIN_NETWM_PING_SCRIPT), QString::number(pid)});
        helper_.waitForStarted(5000);
    }
    // The longest round trip in milliseconds (a ping never answered counts until now), or -1
    // when the helper found no window to ping.
    int finish()
    {
        helper_.closeWriteChannel();
        helper_.waitForFinished(10000);
        const QString report = QString::fromUtf8(helper_.readAllStandardOutput());
        const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("longest_ms=(\\d+)")).match(report);
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    }

    // Ends the pings: some window answered, and no round trip took longer than `milliseconds`.
    ::testing::AssertionResult answeredWithin(int milliseconds)
    {
#ifdef __SANITIZE_ADDRESS__
        // The sanitizers' checks make the application several times slower; what counts there is
        // that it keeps answering.
        milliseconds *= 3;
#endif
        const int longest = finish();
        if (longest < 0)
            return ::testing::AssertionFailure() << "no window answered a ping";
        if (longest > milliseconds)
            return ::testing::AssertionFailure() << "the main thread did not answer for " << longest << " ms";
        return ::testing::AssertionSuccess();
    }

private:
    QProcess helper_;
};

} // namespace tavlin::test
