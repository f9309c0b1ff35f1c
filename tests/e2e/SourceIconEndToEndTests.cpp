// An application whose desktop entry names an icon no program could show — a pipe, one in the
// icon theme too, a 64 MB PNG, a PNG declaring 16,000 by 8,000 pixels, an SVG 1e12 wide — and a
// copy made in it, against the real application: with the history window open on that copy and
// its preview showing, the main thread answers every _NET_WM_PING within a second, keeps no
// image of the icon's full size, stores a later copy, answers a second launch, and SIGTERM ends it.
// The user's own "hicolor" theme index is a pipe too: the search field's menu, which Qt fills with
// theme icons, opens all the same.
#include "ApplicationProfile.h"
#include "MainThreadPings.h"

#include <QImage>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace tavlin::test;

namespace {

struct HostileIcon {
    const char* name;
    // The desktop entry's Icon, and the file that makes it, with $HOME for the profile's home.
    QString icon;
    QString file;
    std::function<void(const QString& path)> make;
};

void PrintTo(const HostileIcon& icon, std::ostream* stream)
{
    *stream << icon.name;
}

void pipe(const QString& path)
{
    ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
}

void image(const QString& path, QSize size, QImage::Format format, int quality)
{
    QImage made(size, format);
    if (format == QImage::Format_Mono)
        made.setColorTable({qRgb(0x33, 0x66, 0x99), qRgb(0xff, 0xff, 0xff)});
    made.fill(0);
    ASSERT_TRUE(made.save(path, "PNG", quality));
}

QList<HostileIcon> hostileIcons()
{
    const QString png = QStringLiteral("$HOME/icon.png");
    return {
        {"Pipe", png, png, pipe},
        // A theme's icon, found among the user's own icons.
        {"PipeInTheIconTheme", QStringLiteral("tavlin-hostile"),
         QStringLiteral("$HOME/.local/share/icons/hicolor/48x48/apps/tavlin-hostile.png"), pipe},
        // Stored without compression: decoded whole it is as large again.
        {"SixtyFourMegabytePng", png, png,
         [](const QString& path) {
             image(path, {4000, 4000}, QImage::Format_ARGB32, 100);
         }},
        {"PngOfSixteenThousandByEightThousand", png, png,
         [](const QString& path) {
             image(path, {16000, 8000}, QImage::Format_Mono, -1);
         }},
        {"SvgOfViewBox1e12", QStringLiteral("$HOME/icon.svg"), QStringLiteral("$HOME/icon.svg"),
         [](const QString& path) {
             writeFile(path,
                       "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 1e12 1e12\">"
                       "<rect width=\"1e12\" height=\"1e12\" fill=\"#369\"/></svg>");
         }},
    };
}

class SourceIconEndToEnd : public testing::TestWithParam<HostileIcon> { };

// A top-level window of the hostile application's class, made the active window.
struct ApplicationWindow {
    QProcess process;

    ApplicationWindow()
    {
        process.start(QStringLiteral(TAVLIN_TEST_CLIPBOARD_OWNER),
                      {QStringLiteral("window"), QStringLiteral("HostileIcons")});
        EXPECT_TRUE(process.waitForReadyRead(10000));
        process.readLine();
        process.write("activate\n");
        while (!process.canReadLine() && process.waitForReadyRead(10000)) { }
        EXPECT_EQ(process.readLine(), QByteArray("active\n"));
    }
    ~ApplicationWindow()
    {
        process.kill();
        process.waitForFinished(5000);
    }
};

qint64 residentKilobytes(qint64 pid)
{
    const QByteArray status = readFile(QStringLiteral("/proc/%1/status").arg(pid));
    for (const QByteArray& line : status.split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

qint64 recordsFromTheApplication(const Profile& profile)
{
    try {
        return queryInteger(profile.database,
                            QStringLiteral("SELECT COUNT(*) FROM clips WHERE source = 'org.example.HostileIcons'"));
    } catch (const std::exception&) {
        return 0; // not created yet
    }
}

TEST_P(SourceIconEndToEnd, ACopyMadeInItLeavesTheApplicationAnswering)
{
    Desktop desktop;
    Profile profile;
    profile.storeKnown("<key>history.showPreview</key><true/>");
    const QString icon = QString(GetParam().icon).replace(QStringLiteral("$HOME"), profile.home);
    QDir().mkpath(profile.home + QStringLiteral("/.local/share/applications"));
    QDir().mkpath(profile.home + QStringLiteral("/.local/share/icons/hicolor/48x48/apps"));
    writeFile(profile.home + QStringLiteral("/.local/share/applications/org.example.HostileIcons.desktop"),
              "[Desktop Entry]\nType=Application\nName=Hostile Icons\nExec=/bin/false\nStartupWMClass=HostileIcons\n"
              "Icon="
                  + icon.toUtf8() + '\n');
    GetParam().make(QString(GetParam().file).replace(QStringLiteral("$HOME"), profile.home));
    pipe(profile.home + QStringLiteral("/.local/share/icons/hicolor/index.theme"));
    auto application = profile.launch();
    QByteArray log;
    ASSERT_TRUE(waitForMonitoring(*application, log)) << log.toStdString();

    {
        ApplicationWindow window;
        copyWithXclip(QStringLiteral("copied in an application of a hostile icon"));
        ASSERT_TRUE(waitUntil([&] { return recordsFromTheApplication(profile) == 1; }, 10000))
            << "the copy was not taken for the application's";
    }
    MainThreadPings pings(application->processId());
    const qint64 before = residentKilobytes(application->processId());
    // The tray click opens the window with the newest record selected and its preview built.
    const QString history = Desktop::openHistory();
    ASSERT_FALSE(history.isEmpty()) << application->readAllStandardError().toStdString();
    QTest::qWait(2000); // the icon is looked for and shown
    const qint64 kept = residentKilobytes(application->processId()) - before;
    EXPECT_LT(kept, 40 << 10) << "kilobytes kept after showing the icon";
    // The search field has the keyboard: its menu, then away again.
    EXPECT_TRUE(Desktop::type(history, QStringLiteral("Menu")));
    QTest::qWait(1000);
    run(QStringLiteral("xdotool key Escape"));

    copyWithXclip(QStringLiteral("a later copy"));
    EXPECT_TRUE(waitUntil([&] { return records(profile) == 2; }, 10000)) << "a later copy was not stored within 5 s";

    auto second = profile.launch();
    EXPECT_TRUE(second->waitForFinished(3000)) << "a second launch was not answered within 3 s";
    EXPECT_EQ(second->exitCode(), 0);

    EXPECT_TRUE(pings.answeredWithin(1000));

    stop(*application, 2000);
}

INSTANTIATE_TEST_SUITE_P(, SourceIconEndToEnd, testing::ValuesIn(hostileIcons()),
                         [](const testing::TestParamInfo<HostileIcon>& info) { return std::string(info.param.name); });

} // namespace
