#pragma once

#include "TestDeadline.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace tavlin::test {

// Whether `process` ended by itself, within `milliseconds`, with exit code `code`. exitCode() on
// its own reads 0 for a process that is still running and says nothing of one a signal ended, so
// a test that expects an exit checks it this way: EXPECT_TRUE(exitsWith(process, 0)).
inline ::testing::AssertionResult exitsWith(QProcess& process, int code, int milliseconds = 10000)
{
    if (process.error() == QProcess::FailedToStart)
        return ::testing::AssertionFailure() << "the process did not start";
    if (process.state() != QProcess::NotRunning && !process.waitForFinished(deadline(milliseconds)))
        return ::testing::AssertionFailure() << "the process is still running after " << milliseconds << " ms";
    if (process.exitStatus() != QProcess::NormalExit)
        return ::testing::AssertionFailure() << "the process was ended by a signal";
    if (process.exitCode() != code)
        return ::testing::AssertionFailure() << "the process exited with " << process.exitCode() << ", not " << code;
    return ::testing::AssertionSuccess();
}

// Asks the application to end (SIGTERM) and expects it to exit by itself with 0 within
// `milliseconds`; one still running then is killed, so that nothing outlives the test.
inline void stop(QProcess& application, int milliseconds = 10000)
{
    application.terminate();
    EXPECT_TRUE(exitsWith(application, 0, milliseconds)) << application.readAllStandardError().toStdString();
    if (application.state() != QProcess::NotRunning) {
        application.kill();
        application.waitForFinished(5000);
    }
}

} // namespace tavlin::test
