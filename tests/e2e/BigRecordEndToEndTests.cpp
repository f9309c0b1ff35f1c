// Big records in the real application: with one selected and its preview showing, the
// application keeps answering. Its main thread answers every _NET_WM_PING within a second,
// copies made meanwhile are stored, a second launch is answered, and SIGTERM ends it.
#include "ApplicationProfile.h"

#include <QRegularExpression>
#include <QTemporaryFile>

#include <gtest/gtest.h>

using namespace tavlin::test;

namespace {

// Pings the application's main thread from outside until `finish()`, as a window manager does.
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

private:
    QProcess helper_;
};

struct BigRecord {
    const char* name;
    QString text;
};

QString zalgo()
{
    QString text;
    for (int letter = 0; letter < 400; ++letter) {
        text += QChar(u'a' + letter % 26);
        for (int mark = 0; mark < 30; ++mark)
            text += QChar(0x0300 + (letter * 7 + mark) % 0x70);
    }
    return text;
}

// Lines as a service writes them, 12,500 of them: just under the 1 MiB a text record may hold.
QString log12500()
{
    QString log;
    for (int line = 0; line < 12500; ++line) {
        log += QStringLiteral("2026-12-07T00:%1:%2Z INFO worker[%3] request /api/v1/items/%4 served in %5 ms")
                   .arg(line / 600 % 60, 2, 10, QChar(u'0'))
                   .arg(line / 10 % 60, 2, 10, QChar(u'0'))
                   .arg(line % 8)
                   .arg(line * 37 % 100000)
                   .arg(line % 97)
                   .leftJustified(82)
            + u'\n';
    }
    return log;
}

QList<BigRecord> bigRecords()
{
    QString lines;
    for (int line = 0; line < 100000; ++line)
        lines += QString::number(line) + u'\n';
    return {{"OneMebibyteOnOneLine", QString(1 << 20, u'x')},
            {"TenThousandEmoji", QStringLiteral("\U0001F600\U0001F44D\U0001F3FD\U0001F680").repeated(2500)},
            {"HundredThousandShortLines", lines},
            {"Zalgo", zalgo()},
            {"LogOfTwelveThousandLines", log12500()}};
}

void PrintTo(const BigRecord& record, std::ostream* stream)
{
    *stream << record.name;
}

class BigRecordEndToEnd : public testing::TestWithParam<BigRecord> { };

// Copies with xclip from a file, as a user copies from an editor.
void copy(const QString& text)
{
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write(text.toUtf8());
    file.close();
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"), file.fileName()});
    EXPECT_TRUE(xclip.waitForFinished(10000));
}

TEST_P(BigRecordEndToEnd, SelectedWithItsPreviewTheApplicationKeepsAnswering)
{
    Desktop desktop;
    Profile profile;
    profile.store("<key>onboarding.completed</key><true/><key>history.showPreview</key><true/>" + freeShortcut);
    auto application = profile.launch();
    QByteArray log;
    ASSERT_TRUE(waitForMonitoring(*application, log)) << log.toStdString();
    copy(GetParam().text);
    ASSERT_TRUE(waitUntil([&] { return records(profile) == 1; }, 20000)) << "the big record was not stored";

    MainThreadPings pings(application->processId());
    // The tray click opens the window with the newest record selected and its preview built.
    ASSERT_TRUE(waitUntil(
        [&] {
            Desktop::clickTray();
            return waitUntil([] { return Desktop::focusedWindowName() == u"Tavlin"; }, 1000);
        },
        10000))
        << application->readAllStandardError().toStdString();

    copy(QStringLiteral("a copy made meanwhile"));
    EXPECT_TRUE(waitUntil([&] { return records(profile) == 2; }, 3000)) << "the copy was not stored within 3 s";

    auto second = profile.launch();
    EXPECT_TRUE(second->waitForFinished(3000)) << "a second launch was not answered within 3 s";
    EXPECT_EQ(second->exitCode(), 0);

    const int longest = pings.finish();
    EXPECT_GE(longest, 0) << "no window answered a ping";
    EXPECT_LE(longest, 1000) << "the main thread did not answer for " << longest << " ms";

    application->terminate();
    EXPECT_TRUE(application->waitForFinished(2000)) << "SIGTERM did not end the process within 2 s";
    EXPECT_EQ(application->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(application->exitCode(), 0);
    if (application->state() != QProcess::NotRunning) {
        application->kill();
        application->waitForFinished(5000);
    }
}

INSTANTIATE_TEST_SUITE_P(, BigRecordEndToEnd, testing::ValuesIn(bigRecords()),
                         [](const testing::TestParamInfo<BigRecord>& info) { return std::string(info.param.name); });

} // namespace
