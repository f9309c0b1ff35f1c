// The whole engine on a real X server: the headless runner captures what xclip copies, stores
// it, copies a record back exactly, never captures its own write, and stops cleanly on SIGTERM.
#include "ImageSamples.h"
#include "ProcessExit.h"
#include "StoreTestSupport.h"
#include "TemporaryFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include "ExpectSoon.h"
#include <csignal>

using namespace tavlin::test;

namespace {

struct Runner {
    QProcess process;
    QByteArray log;

    // `keepLog`: what it logs is kept for the test (errors()) rather than shown.
    explicit Runner(const QString& database, bool keepLog = false)
    {
        process.setProgram(QStringLiteral(TAVLIN_HEADLESS_RUNNER));
        process.setArguments({database});
        process.setProcessChannelMode(keepLog ? QProcess::SeparateChannels : QProcess::ForwardedErrorChannel);
        process.start();
        EXPECT_EQ(readLine(), QStringLiteral("ready"));
    }

    // Everything it has logged so far.
    const QByteArray& errors()
    {
        log += process.readAllStandardError();
        return log;
    }

    ~Runner()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }

    QString readLine()
    {
        QElapsedTimer timer;
        timer.start();
        while (!process.canReadLine() && timer.elapsed() < 10000)
            process.waitForReadyRead(100);
        return QString::fromUtf8(process.readLine()).trimmed();
    }

    QStringList ask(const QString& command, const QString& last)
    {
        process.write((command + QLatin1Char('\n')).toUtf8());
        QStringList lines;
        for (QString line = readLine(); !line.isEmpty(); line = readLine()) {
            lines.append(line);
            if (line.startsWith(last))
                break;
        }
        return lines;
    }

    // The records, as "kind text", newest first.
    QStringList records()
    {
        QStringList records;
        for (const QString& line : ask(QStringLiteral("list"), QStringLiteral("end"))) {
            if (line.startsWith(QStringLiteral("clip ")))
                records.append(line.section(u' ', 2));
        }
        return records;
    }

    QString newestID() { return ask(QStringLiteral("list"), QStringLiteral("end")).value(0).section(u' ', 1, 1); }
};

// Puts data on the clipboard with xclip, which keeps serving it from a process of its own.
void copyWithXclip(const QByteArray& data, const QString& target = QStringLiteral("text/plain"))
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"), target});
    xclip.write(data);
    xclip.closeWriteChannel();
    ASSERT_TRUE(xclip.waitForFinished(10000));
}

// Serves several targets at once through the test clipboard owner (options first, see
// ClipboardOwner.cpp); it exits when it loses the clipboard.
QProcess& copyWithOwner(const QStringList& targets)
{
    static std::vector<std::unique_ptr<QProcess>> owners;
    auto owner = std::make_unique<QProcess>();
    owner->start(QStringLiteral(TAVLIN_TEST_CLIPBOARD_OWNER), QStringList{QStringLiteral("serve")} + targets);
    EXPECT_TRUE(owner->waitForReadyRead(10000));
    owners.push_back(std::move(owner));
    return *owners.back();
}

// A top-level window of an application's class, which a test makes the active window.
struct DesktopWindow {
    QProcess process;

    explicit DesktopWindow(const QString& windowClass)
    {
        process.start(QStringLiteral(TAVLIN_TEST_CLIPBOARD_OWNER), {QStringLiteral("window"), windowClass});
        EXPECT_TRUE(process.waitForReadyRead(10000));
        process.readLine();
    }

    void activate()
    {
        process.write("activate\n");
        while (!process.canReadLine() && process.waitForReadyRead(10000)) { }
        EXPECT_EQ(process.readLine(), QByteArray("active\n"));
    }
};

// Copies text as a GTK 3 program does (Gtk.Clipboard.set_text); it serves it until the test ends.
QProcess& copyWithGtk(const QString& text)
{
    static std::vector<std::unique_ptr<QProcess>> programs;
    auto program = std::make_unique<QProcess>();
    program->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program->start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(TAVLIN_GTK_COPY_SCRIPT), text});
    EXPECT_TRUE(program->waitForReadyRead(20000)) << "GTK did not take the clipboard";
    programs.push_back(std::move(program));
    return *programs.back();
}

QByteArray readWithXclip(const QString& target)
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-o"), QStringLiteral("-t"),
                 target});
    xclip.waitForFinished(10000);
    return xclip.readAllStandardOutput();
}

} // namespace

TEST(EngineEndToEnd, CapturesCopiesBackAndStopsCleanly)
{
    TemporaryFolder folder;
    {
        Runner runner(folder.databasePath());
        copyWithXclip("first copy");
        EXPECT_SOON_EQ(runner.records(), QStringList{QStringLiteral("text first copy")}, 10000);

        copyWithXclip("<b>second</b>", QStringLiteral("text/html"));
        EXPECT_SOON_EQ(runner.records().size(), 2, 10000);
        EXPECT_EQ(runner.records().first(), QStringLiteral("richText Форматированный текст"));

        // Copy the first record back: the clipboard holds it again, and it is not captured anew.
        const QString firstID = runner.ask(QStringLiteral("list"), QStringLiteral("end")).value(1).section(u' ', 1, 1);
        EXPECT_EQ(runner.ask(QStringLiteral("copy ") + firstID, QStringLiteral("copied")),
                  QStringList{QStringLiteral("copied 1")});
        EXPECT_EQ(readWithXclip(QStringLiteral("text/plain")), QByteArray("first copy"));
        QTest::qWait(2000);
        EXPECT_EQ(runner.records().size(), 2);
        EXPECT_EQ(runner.ask(QStringLiteral("error"), QStringLiteral("error")), QStringList{QStringLiteral("error")});

        runner.process.terminate();
        EXPECT_TRUE(exitsWith(runner.process, 0));
    }
    // The history is there for the next start.
    Runner again(folder.databasePath());
    EXPECT_EQ(again.records().size(), 2);
}

TEST(EngineEndToEnd, EachKindOfCopyBecomesOneRecordOfItsKind)
{
    TemporaryFolder folder;
    Runner runner(folder.databasePath());

    const QByteArray png = tavlin::test::png(64, 48);
    copyWithXclip(png, QStringLiteral("image/png"));
    EXPECT_SOON_EQ(runner.records(), QStringList{QStringLiteral("image Изображение")}, 10000);

    const auto uri = [&](const char* name) { return QUrl::fromLocalFile(folder.path() + u'/' + name).toEncoded(); };
    copyWithXclip(uri("a.txt") + '\n' + uri("b.txt") + '\n', QStringLiteral("text/uri-list"));
    EXPECT_SOON_EQ(runner.records().value(0), QStringLiteral("file Файлы (2)"), 10000);

    copyWithXclip("twice");
    EXPECT_SOON_EQ(runner.records().value(0), QStringLiteral("text twice"), 10000);
    copyWithXclip("twice");
    QTest::qWait(1500);
    EXPECT_EQ(runner.records().size(), 3) << "the same text twice is one record";

    copyWithOwner({QStringLiteral("text/plain=hunter2"), QStringLiteral("x-kde-passwordManagerHint=secret")});
    QTest::qWait(1500);
    EXPECT_EQ(runner.records().size(), 3) << "a copy marked secret is never kept";

    // The PNG comes back byte for byte.
    const QString imageID = runner.ask(QStringLiteral("list"), QStringLiteral("end")).value(2).section(u' ', 1, 1);
    EXPECT_EQ(runner.ask(QStringLiteral("copy ") + imageID, QStringLiteral("copied")),
              QStringList{QStringLiteral("copied 1")});
    EXPECT_EQ(readWithXclip(QStringLiteral("image/png")), png);
    QTest::qWait(1500);
    EXPECT_EQ(runner.records().size(), 3);
}

// A web page can put "%00" into a file URL: no file has such a path, and the record must not be
// damaged from the moment it is written.
TEST(EngineEndToEnd, AFileUrlWhosePathWouldHoldNulIsKeptAsALinkThatCopiesBack)
{
    TemporaryFolder folder;
    Runner runner(folder.databasePath());
    copyWithXclip("file:///tmp/a%00b.txt\n", QStringLiteral("text/uri-list"));
    EXPECT_SOON_EQ(runner.records(), QStringList{QStringLiteral("link file:///tmp/a%00b.txt")}, 10000);
    EXPECT_EQ(runner.ask(QStringLiteral("copy ") + runner.newestID(), QStringLiteral("copied")),
              QStringList{QStringLiteral("copied 1")})
        << "it loads with its digest intact";
}

TEST(EngineEndToEnd, ACopyReplacedOrGoneWhileBeingReadLeavesNothingOfItself)
{
    TemporaryFolder folder;
    Runner runner(folder.databasePath());

    // Asked for its plain text, after its HTML, this owner has another program copy "newer".
    QProcess& handingOver = copyWithOwner({QStringLiteral("--hand-over-at"), QStringLiteral("UTF8_STRING"),
                                           QStringLiteral("newer"), QStringLiteral("text/html=<b>older</b>"),
                                           QStringLiteral("UTF8_STRING=older")});
    EXPECT_SOON_EQ(runner.records(), QStringList{QStringLiteral("text newer")}, 10000);
    EXPECT_EQ(handingOver.state(), QProcess::NotRunning);

    // This one quits once its HTML was read: the clipboard is empty then, and no record half made.
    QProcess& quitting = copyWithOwner({QStringLiteral("--quit-at"), QStringLiteral("UTF8_STRING"),
                                        QStringLiteral("text/html=<i>gone</i>"), QStringLiteral("UTF8_STRING=gone")});
    ASSERT_TRUE(quitting.waitForFinished(10000));
    copyWithXclip("after");
    EXPECT_SOON_EQ(runner.records(), (QStringList{QStringLiteral("text after"), QStringLiteral("text newer")}), 10000);

    const QString newer = runner.ask(QStringLiteral("list"), QStringLiteral("end")).value(1).section(u' ', 1, 1);
    EXPECT_EQ(runner.ask(QStringLiteral("copy ") + newer, QStringLiteral("copied")),
              QStringList{QStringLiteral("copied 1")});
    EXPECT_EQ(readWithXclip(QStringLiteral("UTF8_STRING")), QByteArray("newer"));
    EXPECT_EQ(readWithXclip(QStringLiteral("text/html")), QByteArray());
}

TEST(EngineEndToEnd, EachPartOfACopyIsAskedForOnce)
{
    TemporaryFolder folder;
    Runner runner(folder.databasePath());
    QProcess& owner = copyWithOwner({QStringLiteral("text/html=<b>once</b>"), QStringLiteral("UTF8_STRING=once"),
                                     QStringLiteral("text/plain=once")});
    EXPECT_SOON_EQ(runner.records(), QStringList{QStringLiteral("richText once")}, 10000);
    copyWithXclip("next"); // the owner quits, its report complete
    ASSERT_TRUE(owner.waitForFinished(10000));
    QByteArrayList asked;
    for (const QByteArray& line : owner.readAll().split('\n')) {
        if (line.startsWith("asked "))
            asked.append(line.mid(6));
    }
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(asked, (QByteArrayList{"TARGETS", "UTF8_STRING", "text/html"}));
}

TEST(EngineEndToEnd, OldProgramsLatin1TextIsKeptAndCopiedBackForOldAndNewReaders)
{
    TemporaryFolder folder;
    Runner runner(folder.databasePath());
    copyWithXclip("caf\xe9", QStringLiteral("STRING"));
    EXPECT_SOON_EQ(runner.records(), QStringList{QStringLiteral("text café")}, 10000);

    copyWithXclip("other");
    EXPECT_SOON_EQ(runner.records().size(), 2, 10000);
    const QString cafe = runner.ask(QStringLiteral("list"), QStringLiteral("end")).value(1).section(u' ', 1, 1);
    EXPECT_EQ(runner.ask(QStringLiteral("copy ") + cafe, QStringLiteral("copied")),
              QStringList{QStringLiteral("copied 1")});
    EXPECT_EQ(readWithXclip(QStringLiteral("UTF8_STRING")), QStringLiteral("café").toUtf8());
    EXPECT_EQ(readWithXclip(QStringLiteral("STRING")), QByteArray("caf\xe9"));
}

// Privacy: what a password manager copies never reaches the disk, however soon the user moves on
// and whichever window is active.
TEST(EnginePrivacy, APasswordManagersCopyNeverReachesTheDisk)
{
    TemporaryFolder folder;
    Runner runner(folder.databasePath());
    DesktopWindow vault(QStringLiteral("bitwarden"));
    DesktopWindow browser(QStringLiteral("firefox"));
    int markers = 0;
    // A copy of the browser's that is kept shows that the copies before it were looked at.
    const auto copyMarker = [&] {
        // Two looks at the clipboard, to be sure the secret was seen (nothing shows that it was).
        QTest::qWait(1500);
        const QString marker = QStringLiteral("marker %1").arg(++markers);
        copyWithOwner({QStringLiteral("UTF8_STRING=") + marker});
        EXPECT_SOON_EQ(runner.records().value(0), QStringLiteral("text ") + marker, 10000);
    };

    // Copied in the password manager, which the user leaves right after.
    for (const int delay : {50, 200, 400}) {
        vault.activate();
        copyWithOwner({QStringLiteral("UTF8_STRING=s3cr3t after %1 ms").arg(delay)});
        QTest::qWait(delay);
        browser.activate();
        copyMarker();
    }
    // Copied in the password manager while Tavlin is too busy to look, and left before it looks;
    // the second time the password manager was also opened while Tavlin was busy.
    for (const bool seenOpening : {true, false}) {
        if (seenOpening) {
            vault.activate();
            EXPECT_SOON(runner.ask(QStringLiteral("active"), QStringLiteral("active")).value(0).contains(u"bitwarden"),
                        10000);
        }
        ::kill(runner.process.processId(), SIGSTOP);
        if (!seenOpening)
            vault.activate();
        copyWithOwner({QStringLiteral("UTF8_STRING=s3cr3t while busy")});
        browser.activate();
        ::kill(runner.process.processId(), SIGCONT);
        copyMarker();
    }
    // Copied by the password manager's program while the browser is the active window.
    copyWithOwner(
        {QStringLiteral("--class"), QStringLiteral("bitwarden"), QStringLiteral("UTF8_STRING=s3cr3t of the owner")});
    copyMarker();

    EXPECT_EQ(runner.records().size(), markers);
    QDirIterator files(folder.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    int searched = 0;
    while (files.hasNext()) {
        const QString path = files.next();
        ++searched;
        EXPECT_FALSE(readFile(path).contains("s3cr3t")) << path.toStdString();
    }
    EXPECT_GE(searched, 2) << "the database and the markers' payload files";
}

TEST(EngineEndToEnd, AHistoryFromANewerVersionIsReportedAndLeftAlone)
{
    TemporaryFolder folder;
    QDir().mkpath(folder.path() + QStringLiteral("/Tavlin"));
    executeSQL(folder.databasePath(),
               QStringLiteral("CREATE TABLE clips (id INTEGER PRIMARY KEY); PRAGMA user_version=4;"));
    const QByteArray before = readFile(folder.databasePath());

    Runner runner(folder.databasePath());
    EXPECT_SOON_EQ(runner.ask(QStringLiteral("error"), QStringLiteral("error")),
                   QStringList{QStringLiteral(
                       "error This history was saved by a newer version of Tavlin. Update Tavlin to open it.")},
                   5000);
    copyWithXclip("not stored anywhere");
    QTest::qWait(1500);
    EXPECT_EQ(readFile(folder.databasePath()), before);
}

// GTK 3 sends its text/plain targets with CR LF line ends and UTF8_STRING with LF: the record
// holds the text as its owner meant it, and pastes back with the line ends it came with.
TEST(EngineEndToEnd, TextOfSeveralLinesKeepsItsOwnLineEndsAndCopiesBackWithThem)
{
    TemporaryFolder folder;
    Runner runner(folder.databasePath());
    const QString text = QStringLiteral("first line\nвторая строка\n漢字とかな\ne\u0301 and n\u0303\n\nlast");
    copyWithGtk(text);
    EXPECT_SOON_EQ(runner.records(), QStringList{QStringLiteral("text ") + QString(text).replace(u'\n', u' ')}, 10000);
    EXPECT_EQ(runner.ask(QStringLiteral("copy ") + runner.newestID(), QStringLiteral("copied")),
              QStringList{QStringLiteral("copied 1")});
    for (const char* target : {"UTF8_STRING", "text/plain", "text/plain;charset=utf-8"})
        EXPECT_EQ(readWithXclip(QString::fromLatin1(target)), text.toUtf8()) << target;

    // An owner that offers only MIME text: its line ends become LF, a lone CR stays.
    copyWithOwner({QStringLiteral("text/plain=one\r\ntwo\rthree\r\n")});
    EXPECT_SOON_EQ(runner.records().value(0), QStringLiteral("text one two\rthree"), 10000);
    EXPECT_EQ(runner.ask(QStringLiteral("copy ") + runner.newestID(), QStringLiteral("copied")),
              QStringList{QStringLiteral("copied 1")});
    EXPECT_EQ(readWithXclip(QStringLiteral("UTF8_STRING")), QByteArray("one\ntwo\rthree\n"));
}

// An owner slow on one format loses that format, not the copy: the rest of what it offers is
// kept, and the log says what was left out and why.
TEST(EngineEndToEnd, AFormatThatComesTooLateIsLeftOutAndTheRestIsKept)
{
    TemporaryFolder folder;
    Runner runner(folder.databasePath(), true);
    copyWithOwner({QStringLiteral("--delay-at"), QStringLiteral("text/html"), QStringLiteral("4600"),
                   QStringLiteral("text/html=<b>slow</b>"), QStringLiteral("text/rtf={\\rtf1 quick}"),
                   QStringLiteral("UTF8_STRING=kept")});
    EXPECT_SOON_EQ(runner.records(), QStringList{QStringLiteral("richText kept")}, 10000);
    EXPECT_TRUE(runner.errors().contains("public.html of the copy is skipped (text/html: no answer within"))
        << runner.errors().toStdString();

    EXPECT_EQ(runner.ask(QStringLiteral("copy ") + runner.newestID(), QStringLiteral("copied")),
              QStringList{QStringLiteral("copied 1")});
    EXPECT_EQ(readWithXclip(QStringLiteral("UTF8_STRING")), QByteArray("kept"));
    EXPECT_EQ(readWithXclip(QStringLiteral("text/rtf")), QByteArray("{\\rtf1 quick}"));
    EXPECT_EQ(readWithXclip(QStringLiteral("text/html")), QByteArray());
}

// An image editor encodes a large picture whole before it sends the first byte of it, which can
// take it seconds: while it holds the clipboard the picture is waited for, and kept as it came.
// A spreadsheet offers a picture of every range and answers it with no bytes for a tall one: that
// is no picture, and the record is the cells.
TEST(EngineEndToEnd, APictureBegunLateIsKeptWholeAndOneOfNoBytesIsNoPicture)
{
    TemporaryFolder folder;
    Runner runner(folder.databasePath(), true);
    QStringList records;
    for (const auto& [delay, color] : {std::pair{"1500", Qt::darkRed}, std::pair{"2500", Qt::darkBlue}}) {
        const QByteArray photo = png(1200, 900, color);
        const QString path = folder.path() + QStringLiteral("/photo-%1.png").arg(QLatin1String(delay));
        writeFile(path, photo);
        copyWithOwner({QStringLiteral("--delay-at"), QStringLiteral("image/png"), QString::fromLatin1(delay),
                       QStringLiteral("image/png=@") + path});
        records.prepend(QStringLiteral("image Изображение"));
        EXPECT_SOON_EQ(runner.records(), records, 10000);
        EXPECT_EQ(runner.ask(QStringLiteral("copy ") + runner.newestID(), QStringLiteral("copied")),
                  QStringList{QStringLiteral("copied 1")});
        EXPECT_EQ(readWithXclip(QStringLiteral("image/png")), photo) << delay << " ms late";
    }

    copyWithOwner({QStringLiteral("UTF8_STRING=A1 B1"), QStringLiteral("text/html=<table><td>A1<td>B1</table>"),
                   QStringLiteral("image/png=")});
    records.prepend(QStringLiteral("richText A1 B1"));
    EXPECT_SOON_EQ(runner.records(), records, 10000);
    EXPECT_EQ(runner.ask(QStringLiteral("copy ") + runner.newestID(), QStringLiteral("copied")),
              QStringList{QStringLiteral("copied 1")});
    EXPECT_FALSE(readWithXclip(QStringLiteral("TARGETS")).contains("image/png"));
    EXPECT_EQ(readWithXclip(QStringLiteral("text/html")), QByteArray("<table><td>A1<td>B1</table>"));
    EXPECT_FALSE(runner.errors().contains("skipped")) << runner.errors().toStdString();
}

// A format answered with no bytes is left out as if it had not been offered: the next target that
// carries it is read. The words of a program whose UTF-8 text comes empty are kept, from its MIME
// text or its Latin-1 text, and so is the picture of one whose PNG does, in the other encoding it
// offers, which copies back as such. A picture whose PNG has bytes is that PNG alone.
TEST(EngineEndToEnd, AFormatAnsweredWithNoBytesIsReadFromTheNextTargetThatCarriesIt)
{
    TemporaryFolder folder;
    Runner runner(folder.databasePath(), true);
    copyWithOwner({QStringLiteral("UTF8_STRING="), QStringLiteral("text/plain=the words")});
    EXPECT_SOON_EQ(runner.records(), QStringList{QStringLiteral("text the words")}, 10000);
    const QString latin1 = folder.path() + QStringLiteral("/latin1.txt");
    writeFile(latin1, "caf\xe9 cr\xe8me");
    copyWithOwner({QStringLiteral("UTF8_STRING="), QStringLiteral("STRING=@") + latin1});
    EXPECT_SOON_EQ(runner.records(), (QStringList{QStringLiteral("text café crème"), QStringLiteral("text the words")}),
                   10000);

    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkYellow);
    const QByteArray picture = encoded(image, "PNG");
    QStringList encodings;
    for (const QString format :
         {QStringLiteral("png"), QStringLiteral("bmp"), QStringLiteral("jpeg"), QStringLiteral("tiff")}) {
        const QString path = folder.path() + QStringLiteral("/photo.") + format;
        writeFile(path, format == u"png" ? picture : encoded(image, format.toLatin1().constData()));
        encodings.append(QStringLiteral("image/%1=@%2").arg(format, path));
    }
    copyWithOwner(encodings);
    EXPECT_SOON_EQ(runner.records().value(0), QStringLiteral("image Изображение"), 10000);
    EXPECT_EQ(runner.ask(QStringLiteral("copy ") + runner.newestID(), QStringLiteral("copied")),
              QStringList{QStringLiteral("copied 1")});
    EXPECT_EQ(readWithXclip(QStringLiteral("image/png")), picture);
    const QByteArray offered = readWithXclip(QStringLiteral("TARGETS"));
    for (const char* other : {"image/bmp", "image/jpeg", "image/tiff"})
        EXPECT_FALSE(offered.contains(other)) << other << " is kept too";

    image.fill(Qt::darkGreen);
    const QByteArray bmp = encoded(image, "BMP");
    const QString path = folder.path() + QStringLiteral("/picture.bmp");
    writeFile(path, bmp);
    copyWithOwner({QStringLiteral("image/png="), QStringLiteral("image/bmp=@") + path});
    EXPECT_SOON_EQ(runner.records(),
                   (QStringList{QStringLiteral("image Изображение"), QStringLiteral("image Изображение"),
                                QStringLiteral("text café crème"), QStringLiteral("text the words")}),
                   10000);
    EXPECT_EQ(runner.ask(QStringLiteral("copy ") + runner.newestID(), QStringLiteral("copied")),
              QStringList{QStringLiteral("copied 1")});
    EXPECT_EQ(readWithXclip(QStringLiteral("image/bmp")), bmp);
    EXPECT_FALSE(runner.errors().contains("skipped")) << runner.errors().toStdString();
}

// A picture sent in small pieces far apart takes longer than a copy may: it is dropped, the log
// says why, and the next copy is kept as usual.
TEST(EngineEndToEnd, APictureThatTricklesInIsDroppedWithItsReasonLogged)
{
    TemporaryFolder folder;
    const QString picture = folder.path() + QStringLiteral("/picture.png");
    writeFile(picture, QByteArray(4 << 20, 'p'));
    Runner runner(folder.databasePath(), true);
    copyWithOwner({QStringLiteral("--incr"), QStringLiteral("65536"), QStringLiteral("300"),
                   QStringLiteral("image/png=@") + picture});
    EXPECT_SOON(runner.errors().contains("a copy is not kept, none of its formats came (public.png)"), 20000);
    EXPECT_TRUE(runner.errors().contains("public.png of the copy is skipped (image/png: still arriving after"))
        << runner.errors().toStdString();
    EXPECT_TRUE(runner.records().isEmpty());

    copyWithXclip("after the picture");
    EXPECT_SOON_EQ(runner.records(), QStringList{QStringLiteral("text after the picture")}, 10000);
}
