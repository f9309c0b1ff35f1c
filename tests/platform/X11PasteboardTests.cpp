#include "AwaitTask.h"
#include "ClipboardCodec.h"
#include "ClipboardReadError.h"
#include "ImageSamples.h"
#include "LogCapture.h"
#include "PasteboardTypes.h"
#include "TemporaryFolder.h"
#include "X11Pasteboard.h"
#include "XcbConnection.h"

#include <QProcess>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

namespace tavlin {
namespace {

using namespace std::chrono_literals;

// Every type of every item with its bytes, types sorted, as the reader would collect them.
QList<ClipItem> contentOf(const Pasteboard& pasteboard)
{
    QList<ClipItem> content;
    for (const auto& item : test::await(pasteboard.items())) {
        ClipItem clipItem;
        QStringList types = item->types();
        types.sort();
        for (const QString& type : types) {
            if (const std::optional<QByteArray> data = test::await(item->data(type)))
                clipItem.representations.append({type, *data});
        }
        content.append(clipItem);
    }
    return content;
}

QList<std::shared_ptr<const PasteboardItem>> itemsOf(const Pasteboard& pasteboard)
{
    return test::await(pasteboard.items());
}

std::optional<QByteArray> dataOf(const std::shared_ptr<const PasteboardItem>& item, const QString& type)
{
    return test::await(item->data(type));
}

// The clipboard's string for a type: the first item's that offers it.
std::optional<QString> stringOf(const Pasteboard& pasteboard, const QString& type)
{
    for (const auto& item : itemsOf(pasteboard)) {
        if (!item->types().contains(type))
            continue;
        if (const std::optional<QByteArray> bytes = dataOf(item, type))
            return QString::fromUtf8(*bytes);
        return std::nullopt;
    }
    return std::nullopt;
}

class X11PasteboardTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const auto& process : processes_) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(3000);
            }
        }
    }

    // Starts a program that takes the clipboard, and waits until it has.
    bool copyWith(const QString& program, const QStringList& arguments, const QByteArray& input = {})
    {
        const qint64 before = pasteboard.changeCount();
        const xcb_window_t ownerBefore = clipboardOwner();
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(program, arguments);
        if (!process->waitForStarted(5000))
            return false;
        if (!input.isNull()) {
            process->write(input);
            process->closeWriteChannel();
        }
        processes_.push_back(std::move(process));
        // A change alone may still be an earlier one of ours arriving late.
        return QTest::qWaitFor(
            [&] {
                const xcb_window_t owner = clipboardOwner();
                return pasteboard.changeCount() != before && owner != XCB_NONE && owner != ownerBefore;
            },
            10000);
    }

    xcb_window_t clipboardOwner()
    {
        xcb_connection_t* c = x_.get();
        const xcb_atom_t clipboard = x_.atom("CLIPBOARD");
        xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard),
                                                                               nullptr);
        const xcb_window_t owner = reply ? reply->owner : XCB_NONE;
        std::free(reply);
        return owner;
    }

    // The windows at the top of the display, the reader's among them.
    int topWindows()
    {
        xcb_connection_t* c = x_.get();
        xcb_query_tree_reply_t* reply = xcb_query_tree_reply(c, xcb_query_tree(c, x_.root()), nullptr);
        const int count = reply ? xcb_query_tree_children_length(reply) : -1;
        std::free(reply);
        return count;
    }

    bool xclipCopy(const QByteArray& type, const QByteArray& data)
    {
        // -quiet keeps xclip in the foreground, so the test can end it.
        return copyWith(QStringLiteral("xclip"),
                        {QStringLiteral("-quiet"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                         QStringLiteral("-t"), QString::fromUtf8(type), QStringLiteral("-i")},
                        data);
    }

    // Large content goes through a file: xclip reads its standard input slowly.
    bool xclipCopyFile(const QByteArray& type, const QByteArray& data)
    {
        const QString path = folder_.path() + QStringLiteral("/copy-") + QString::number(processes_.size());
        test::writeFile(path, data);
        return copyWith(QStringLiteral("xclip"),
                        {QStringLiteral("-quiet"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                         QStringLiteral("-t"), QString::fromUtf8(type), QStringLiteral("-i"), path});
    }

    // What the last program started printed so far.
    QByteArray lastOwnerOutput() { return processes_.back()->readAllStandardOutput(); }

    // Waits for the last program started to exit, and the server to have seen it go, without
    // running the event loop: whatever the server sent the reader meanwhile waits, unread, for
    // the reader's next turn.
    bool waitForLastOwnerToQuit()
    {
        if (!processes_.back()->waitForFinished(10000))
            return false;
        for (int look = 0; look < 1000; ++look) {
            if (clipboardOwner() == XCB_NONE)
                return true;
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    bool ownerCopy(const QStringList& arguments)
    {
        return copyWith(QStringLiteral(TAVLIN_TEST_CLIPBOARD_OWNER), arguments);
    }

    // What another program reads for `target`; the event loop runs meanwhile, so Qt can answer.
    std::optional<QByteArray> xclipRead(const QByteArray& target)
    {
        QProcess process;
        process.start(QStringLiteral("xclip"),
                      {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-o"),
                       QStringLiteral("-t"), QString::fromUtf8(target)});
        if (!process.waitForStarted(5000))
            return std::nullopt;
        const bool finished = QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20000);
        if (!finished) {
            process.kill();
            process.waitForFinished();
            return std::nullopt;
        }
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            return std::nullopt;
        return process.readAllStandardOutput();
    }

    X11Pasteboard pasteboard;
    test::TemporaryFolder folder_;

private:
    XcbConnection x_;
    std::vector<std::unique_ptr<QProcess>> processes_;
};

TEST_F(X11PasteboardTest, PlainTextOfAnotherProgramReadsAsUtf8PlainText)
{
    ASSERT_TRUE(pasteboard.isAvailable());
    const QByteArray text = QStringLiteral("Привет, world — 👋\n").toUtf8();
    ASSERT_TRUE(xclipCopy("UTF8_STRING", text));

    EXPECT_EQ(contentOf(pasteboard), (QList<ClipItem>{ClipItem{{{PasteboardTypes::plainText, text}}}}));
    EXPECT_EQ(stringOf(pasteboard, PasteboardTypes::plainText), QString::fromUtf8(text));
    EXPECT_EQ(stringOf(pasteboard, PasteboardTypes::html), std::nullopt);
}

TEST_F(X11PasteboardTest, HtmlWithPlainTextKeepsBothOnOneItem)
{
    ASSERT_TRUE(ownerCopy({QStringLiteral("serve"), QStringLiteral("text/html=<p>Hi <b>there</b></p>"),
                           QStringLiteral("text/plain=Hi there"), QStringLiteral("UTF8_STRING=Hi there"),
                           QStringLiteral("application/x-private=p")}));
    const QList<ClipItem> expected{ClipItem{{{QStringLiteral("application/x-private"), "p"},
                                             {PasteboardTypes::html, "<p>Hi <b>there</b></p>"},
                                             {PasteboardTypes::plainText, "Hi there"}}}};
    EXPECT_EQ(contentOf(pasteboard), expected);
}

TEST_F(X11PasteboardTest, PngImageKeepsItsBytes)
{
    const QByteArray png = test::png(40, 30);
    ASSERT_TRUE(xclipCopy("image/png", png));
    const auto items = itemsOf(pasteboard);
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0]->types(), QStringList{PasteboardTypes::png});
    EXPECT_TRUE(PasteboardTypes::conformsToImage(items[0]->types().first()));
    EXPECT_EQ(dataOf(items[0], PasteboardTypes::png), png);
}

TEST_F(X11PasteboardTest, FileListsOfTwoFilesGiveTwoFileUrlItems)
{
    ASSERT_TRUE(xclipCopy("text/uri-list", "file:///tmp/one.txt\r\nfile:///tmp/two%20words.txt\r\n"));
    const QList<ClipItem> expected{ClipItem{{{PasteboardTypes::fileURL, "file:///tmp/one.txt"}}},
                                   ClipItem{{{PasteboardTypes::fileURL, "file:///tmp/two%20words.txt"}}}};
    EXPECT_EQ(contentOf(pasteboard), expected);
    // Some file managers offer only their own form of the list.
    ASSERT_TRUE(xclipCopy("x-special/gnome-copied-files", "cut\nfile:///tmp/one.txt\nfile:///tmp/two%20words.txt"));
    EXPECT_EQ(contentOf(pasteboard), expected);
}

TEST_F(X11PasteboardTest, PasswordManagerSecretShowsTheConcealedType)
{
    ASSERT_TRUE(ownerCopy({QStringLiteral("serve"), QStringLiteral("text/plain=hunter2"),
                           QStringLiteral("x-kde-passwordManagerHint=secret")}));
    const auto items = itemsOf(pasteboard);
    ASSERT_EQ(items.size(), 1);
    EXPECT_TRUE(items[0]->types().contains(PasteboardTypes::concealed));
    EXPECT_FALSE(items[0]->types().contains(QStringLiteral("x-kde-passwordManagerHint")));
}

TEST_F(X11PasteboardTest, WrittenItemsReadBackByteForByteInOtherPrograms)
{
    const QByteArray png = test::png(300, 200);
    const QByteArray text = QStringLiteral("Grüße\n").toUtf8();
    const QList<ClipItem> items{ClipItem{
        {{PasteboardTypes::html, "<i>Grüße</i>"}, {PasteboardTypes::png, png}, {PasteboardTypes::plainText, text}}}};
    pasteboard.clearContents();
    ASSERT_TRUE(pasteboard.writeItems(items));

    const std::optional<QByteArray> targets = xclipRead("TARGETS");
    ASSERT_TRUE(targets);
    const QList<QByteArray> names = targets->trimmed().split('\n');
    for (const char* expected : {"text/html", "image/png", "text/plain", "UTF8_STRING", "text/plain;charset=utf-8"})
        EXPECT_TRUE(names.contains(expected)) << expected << " missing from " << targets->constData();
    EXPECT_FALSE(names.contains("application/x-qt-image"));

    EXPECT_EQ(xclipRead("text/html"), "<i>Grüße</i>");
    EXPECT_EQ(xclipRead("image/png"), png);
    EXPECT_EQ(xclipRead("UTF8_STRING"), text);
    EXPECT_EQ(xclipRead("text/plain;charset=utf-8"), text);

    // Our own content reads back as written, without asking X.
    EXPECT_EQ(contentOf(pasteboard), items);
}

TEST_F(X11PasteboardTest, WrittenFilesPasteInFileManagersAndReadBackAsItems)
{
    const QList<ClipItem> items{ClipItem{{{PasteboardTypes::fileURL, "file:///tmp/a.txt"}}},
                                ClipItem{{{PasteboardTypes::fileURL, "file:///tmp/b%20c.txt"}}}};
    ASSERT_TRUE(pasteboard.writeItems(items));
    EXPECT_EQ(xclipRead("text/uri-list"), "file:///tmp/a.txt\r\nfile:///tmp/b%20c.txt\r\n");
    EXPECT_EQ(xclipRead("x-special/gnome-copied-files"), "copy\nfile:///tmp/a.txt\nfile:///tmp/b%20c.txt");
    const QList<ClipItem> content = contentOf(pasteboard);
    ASSERT_EQ(content.size(), 2);
    EXPECT_EQ(content[0].representations.first(), items[0].representations.first());
    EXPECT_EQ(content[1], items[1]);
}

TEST_F(X11PasteboardTest, WriteAfterAnotherProgramsCopyTakesTheClipboard)
{
    ASSERT_TRUE(xclipCopy("UTF8_STRING", "theirs"));
    ASSERT_EQ(stringOf(pasteboard, PasteboardTypes::plainText), QStringLiteral("theirs"));
    pasteboard.clearContents();
    ASSERT_TRUE(pasteboard.writeItems({ClipItem{{{PasteboardTypes::plainText, "ours"}}}}));
    EXPECT_EQ(xclipRead("UTF8_STRING"), "ours");
    EXPECT_EQ(stringOf(pasteboard, PasteboardTypes::plainText), QStringLiteral("ours"));
    EXPECT_FALSE(pasteboard.writeItems({}));
}

TEST_F(X11PasteboardTest, ChangeCountGrowsOnEveryCopyOursIncluded)
{
    qint64 count = pasteboard.changeCount();
    ASSERT_TRUE(xclipCopy("UTF8_STRING", "one"));
    EXPECT_GT(pasteboard.changeCount(), count);
    count = pasteboard.changeCount();
    // The same content copied again is a change too.
    ASSERT_TRUE(xclipCopy("UTF8_STRING", "one"));
    EXPECT_GT(pasteboard.changeCount(), count);

    count = pasteboard.changeCount();
    ASSERT_TRUE(pasteboard.writeItems({ClipItem{{{PasteboardTypes::plainText, "ours"}}}}));
    EXPECT_GT(pasteboard.changeCount(), count);
    count = pasteboard.changeCount();
    pasteboard.clearContents();
    EXPECT_GT(pasteboard.changeCount(), count);
    EXPECT_TRUE(itemsOf(pasteboard).isEmpty());

    // Reading changes nothing.
    count = pasteboard.changeCount();
    ASSERT_TRUE(xclipCopy("UTF8_STRING", "two"));
    QTest::qWait(100);
    count = pasteboard.changeCount();
    contentOf(pasteboard);
    QTest::qWait(100);
    EXPECT_EQ(pasteboard.changeCount(), count);
}

TEST_F(X11PasteboardTest, CopyingBackCountsOnceAndNothingArrivesLater)
{
    ASSERT_TRUE(xclipCopy("UTF8_STRING", "theirs"));
    // What copying a record back does: clear, write, then take the count as seen.
    pasteboard.clearContents();
    ASSERT_TRUE(pasteboard.writeItems({ClipItem{{{PasteboardTypes::plainText, "ours"}}}}));
    const qint64 count = pasteboard.changeCount();
    QTest::qWait(300);
    EXPECT_EQ(pasteboard.changeCount(), count);
}

TEST_F(X11PasteboardTest, ItemsOfAnEarlierCopyGiveNoData)
{
    ASSERT_TRUE(xclipCopy("UTF8_STRING", "first"));
    const auto items = itemsOf(pasteboard);
    ASSERT_EQ(items.size(), 1);
    ASSERT_TRUE(xclipCopy("UTF8_STRING", "second"));
    EXPECT_EQ(dataOf(items[0], PasteboardTypes::plainText), std::nullopt);
    EXPECT_EQ(stringOf(pasteboard, PasteboardTypes::plainText), QStringLiteral("second"));
}

TEST_F(X11PasteboardTest, OwnerThatVanishesMidReadEndsTheReadWithoutWaitingOut)
{
    test::LogCapture log;
    ASSERT_TRUE(ownerCopy({QStringLiteral("vanish")}));
    const auto items = itemsOf(pasteboard);
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(dataOf(items[0], PasteboardTypes::plainText), std::nullopt);
    // The owner's window going away ends the read; it is not waited out as a silent owner.
    ASSERT_EQ(log.errors().size(), 1);
    EXPECT_TRUE(log.errors()[0].contains(u"(text/plain: its owner quit before answering)"))
        << log.errors()[0].toStdString();
    EXPECT_EQ(stringOf(pasteboard, PasteboardTypes::plainText), std::nullopt);
}

TEST_F(X11PasteboardTest, AnOwnerChangeSeenWhileReadingCountsOnceAndEndsTheRead)
{
    QList<qint64> announced;
    pasteboard.setChangeObserver([&](qint64 count) { announced.append(count); });
    // Asked for its plain text, after its HTML, this owner has another program copy "newer".
    ASSERT_TRUE(ownerCopy({QStringLiteral("serve"), QStringLiteral("--hand-over-at"), QStringLiteral("UTF8_STRING"),
                           QStringLiteral("newer"), QStringLiteral("text/html=<b>older</b>"),
                           QStringLiteral("UTF8_STRING=older")}));
    qint64 count = pasteboard.changeCount();
    announced.clear();
    auto items = itemsOf(pasteboard);
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(dataOf(items[0], PasteboardTypes::html), "<b>older</b>");
    EXPECT_EQ(dataOf(items[0], PasteboardTypes::plainText), std::nullopt);
    // Counted and announced at once, as the read saw it; the rest of the read gets nothing.
    EXPECT_EQ(pasteboard.changeCount(), count + 1);
    EXPECT_EQ(announced, QList<qint64>{count + 1});
    EXPECT_EQ(dataOf(items[0], PasteboardTypes::html), std::nullopt);
    EXPECT_EQ(contentOf(pasteboard), (QList<ClipItem>{ClipItem{{{PasteboardTypes::plainText, "newer"}}}}));

    // One that quits once its HTML was read leaves an empty clipboard, counted at once as well.
    ASSERT_TRUE(ownerCopy({QStringLiteral("serve"), QStringLiteral("--quit-at"), QStringLiteral("UTF8_STRING"),
                           QStringLiteral("text/html=<i>gone</i>"), QStringLiteral("UTF8_STRING=gone")}));
    count = pasteboard.changeCount();
    items = itemsOf(pasteboard);
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(dataOf(items[0], PasteboardTypes::html), "<i>gone</i>");
    EXPECT_EQ(dataOf(items[0], PasteboardTypes::plainText), std::nullopt);
    EXPECT_EQ(pasteboard.changeCount(), count + 1);
    EXPECT_TRUE(itemsOf(pasteboard).isEmpty());

    // Qt's own announcement of that change, once the event loop runs, is not a second change.
    QTest::qWait(300);
    EXPECT_EQ(pasteboard.changeCount(), count + 1);
    pasteboard.setChangeObserver({});

    // A file list replaced while it arrives is lost, and said to be.
    test::LogCapture log;
    ASSERT_TRUE(ownerCopy({QStringLiteral("serve"), QStringLiteral("--hand-over-at"), QStringLiteral("text/uri-list"),
                           QStringLiteral("newest"), QStringLiteral("text/uri-list=file:///tmp/replaced.txt")}));
    EXPECT_TRUE(itemsOf(pasteboard).isEmpty());
    ASSERT_EQ(log.errors().size(), 1);
    EXPECT_TRUE(log.errors()[0].startsWith(u"Clipboard: a file list is not kept")) << log.errors()[0].toStdString();
}

TEST_F(X11PasteboardTest, EmptyTargetListGivesNoItems)
{
    ASSERT_TRUE(ownerCopy({QStringLiteral("empty")}));
    EXPECT_TRUE(itemsOf(pasteboard).isEmpty());
    EXPECT_EQ(stringOf(pasteboard, PasteboardTypes::plainText), std::nullopt);
}

TEST_F(X11PasteboardTest, OwnerThatNeverAnswersIsWaitedForABoundedTimeAndLoggedOnce)
{
    test::LogCapture log;
    ASSERT_TRUE(ownerCopy({QStringLiteral("silent")}));
    const qint64 count = pasteboard.changeCount();
    EXPECT_TRUE(itemsOf(pasteboard).isEmpty());
    // Given up on: no more waits.
    EXPECT_TRUE(itemsOf(pasteboard).isEmpty());
    EXPECT_EQ(stringOf(pasteboard, PasteboardTypes::plainText), std::nullopt);
    EXPECT_EQ(pasteboard.changeCount(), count);
    ASSERT_EQ(log.errors().size(), 1);
    EXPECT_TRUE(log.errors()[0].startsWith(
        u"Clipboard: the copy is not kept, its owner did not say what it holds (TARGETS: no answer within 4."))
        << log.errors()[0].toStdString();
}

// An owner may take seconds to say what it holds, every time it is asked, yet keep the clipboard
// long after: its first answer is waited for, not asked for again.
TEST_F(X11PasteboardTest, AnOwnerSlowToNameItsFormatsIsHeardOutAtTheFirstQuestion)
{
    test::LogCapture log;
    ASSERT_TRUE(ownerCopy({QStringLiteral("serve"), QStringLiteral("--delay-at"), QStringLiteral("TARGETS"),
                           QStringLiteral("2500"), QStringLiteral("UTF8_STRING=named late")}));
    EXPECT_EQ(contentOf(pasteboard), (QList<ClipItem>{ClipItem{{{PasteboardTypes::plainText, "named late"}}}}));
    EXPECT_EQ(lastOwnerOutput().count("asked TARGETS"), 1);
    EXPECT_TRUE(log.errors().isEmpty()) << log.errors().join(u"\n").toStdString();
}

TEST_F(X11PasteboardTest, OwnerThatListsTypesButNeverConvertsCostsOneWaitPerType)
{
    test::LogCapture log;
    ASSERT_TRUE(ownerCopy({QStringLiteral("mute")}));
    const auto items = itemsOf(pasteboard);
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0]->types(), QStringList({PasteboardTypes::html, PasteboardTypes::plainText}));
    EXPECT_EQ(dataOf(items[0], PasteboardTypes::html), std::nullopt);
    EXPECT_EQ(dataOf(items[0], PasteboardTypes::plainText), std::nullopt);
    // Asked again, a type that gave nothing costs no second wait and no second report.
    EXPECT_EQ(stringOf(pasteboard, PasteboardTypes::plainText), std::nullopt);
    ASSERT_EQ(log.errors().size(), 2);
    EXPECT_TRUE(log.errors()[0].startsWith(u"Clipboard: public.html of the copy is skipped (text/html: no answer"))
        << log.errors()[0].toStdString();
}

TEST_F(X11PasteboardTest, LargeCopiesArriveWholeAndOversizedOnesStopAtTheLimit)
{
    QByteArray large(20 * 1024 * 1024, 'a');
    for (qsizetype i = 0; i < large.size(); i += 4099)
        large[i] = char('b' + i % 20);
    ASSERT_TRUE(xclipCopyFile("UTF8_STRING", large));
    EXPECT_EQ(dataOf(itemsOf(pasteboard).value(0), PasteboardTypes::plainText), large);

    // Owners of many toolkits answer with the whole picture in one property, as large as the
    // server allows; it is read in pieces.
    QByteArray picture(3 << 20, '\0');
    for (qsizetype i = 0; i < picture.size(); ++i)
        picture[i] = char(i * 7919 % 251);
    const QString path = folder_.path() + QStringLiteral("/picture.png");
    test::writeFile(path, picture);
    ASSERT_TRUE(ownerCopy({QStringLiteral("serve"), QStringLiteral("image/png=@") + path}));
    EXPECT_EQ(dataOf(itemsOf(pasteboard).value(0), PasteboardTypes::png), picture);

    ASSERT_TRUE(xclipCopyFile("image/png", QByteArray(40 * 1024 * 1024, 'x')));
    const std::optional<QByteArray> data = dataOf(itemsOf(pasteboard).value(0), PasteboardTypes::png);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->size(), X11Pasteboard::transferLimit);
}

// Asked for a picture's BMP first, the reader reads its PNG to learn whether the BMP is needed.
// When the record's limit stops the read on the HTML between the two, nothing of that PNG is
// held: asked for later, it is the owner that is asked again.
TEST_F(X11PasteboardTest, APngReadAheadIsLetGoWhenTheReadStopsBeforeItsTurn)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkRed);
    const QByteArray picture = test::encoded(image, "PNG");
    QStringList offered{QStringLiteral("serve"), QStringLiteral("--incr"), QStringLiteral("4194304"),
                        QStringLiteral("0")};
    for (const auto& [target, bytes] :
         {std::pair{"image/bmp", test::encoded(image, "BMP")},
          std::pair{"text/html", QByteArray(X11Pasteboard::transferLimit, 'h')}, std::pair{"image/png", picture}}) {
        const QString path = folder_.path() + u'/' + QString::fromLatin1(target).replace(u'/', u'.');
        test::writeFile(path, bytes);
        offered.append(QString::fromLatin1(target) + QStringLiteral("=@") + path);
    }
    ASSERT_TRUE(ownerCopy(offered));
    EXPECT_THROW(test::await(ClipboardCodec::read(pasteboard)), ClipboardReadError);
    QByteArray asked = lastOwnerOutput();
    ASSERT_EQ(asked.count("asked image/png\n"), 1) << asked.toStdString();

    EXPECT_EQ(dataOf(itemsOf(pasteboard).value(0), PasteboardTypes::png), picture);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            asked += lastOwnerOutput();
            return asked.count("asked image/png\n") == 2;
        },
        10000))
        << asked.toStdString();
}

TEST_F(X11PasteboardTest, AnOwnerOfSixtyThousandTargetsIsReadForItsFirstThousand)
{
    ASSERT_TRUE(ownerCopy({QStringLiteral("serve"), QStringLiteral("--targets"), QStringLiteral("60000"),
                           QStringLiteral("UTF8_STRING=many")}));
    const auto items = itemsOf(pasteboard);
    ASSERT_EQ(items.size(), 1);
    EXPECT_LE(items[0]->types().size(), 1024);
    EXPECT_EQ(dataOf(items[0], PasteboardTypes::plainText), "many");
}

// Whether the event loop ran a timer's shot while `task` was still waiting for the owner.
template <class T>
bool eventLoopRunsWhileAwaiting(QCoro::Task<T>& task)
{
    std::optional<bool> shotWhileWaiting;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] { shotWhileWaiting = !task.isReady(); });
    timer.start(100);
    EXPECT_TRUE(QTest::qWaitFor([&] { return shotWhileWaiting.has_value(); }, 10000)) << "the timer never fired";
    return shotWhileWaiting.value_or(false);
}

TEST_F(X11PasteboardTest, APictureSentInSlowPiecesArrivesWholeWhileTheEventLoopRuns)
{
    // Ten pieces 0.3 s apart: longer than one conversion could once take.
    QByteArray picture(640 * 1024, '\0');
    for (qsizetype i = 0; i < picture.size(); ++i)
        picture[i] = char(i * 31 % 253);
    const QString path = folder_.path() + QStringLiteral("/slow.png");
    test::writeFile(path, picture);
    ASSERT_TRUE(ownerCopy({QStringLiteral("serve"), QStringLiteral("--incr"), QStringLiteral("65536"),
                           QStringLiteral("300"), QStringLiteral("image/png=@") + path}));
    const auto items = itemsOf(pasteboard);
    ASSERT_EQ(items.size(), 1);
    auto reading = items[0]->data(PasteboardTypes::png);
    EXPECT_TRUE(eventLoopRunsWhileAwaiting(reading));
    EXPECT_EQ(test::await(std::move(reading)), picture);
}

// Each target has a time of its own: one that comes late, or trickles in, is left out, and the
// targets after it are still read.
TEST_F(X11PasteboardTest, ATargetThatTakesTooLongIsSkippedAndTheOthersAreRead)
{
    {
        test::LogCapture log;
        ASSERT_TRUE(ownerCopy({QStringLiteral("serve"), QStringLiteral("--delay-at"), QStringLiteral("text/html"),
                               QStringLiteral("4600"), QStringLiteral("text/html=<b>late</b>"),
                               QStringLiteral("text/rtf={\\rtf1 at once}"), QStringLiteral("UTF8_STRING=at once")}));
        EXPECT_EQ(contentOf(pasteboard),
                  (QList<ClipItem>{ClipItem{
                      {{PasteboardTypes::rtf, "{\\rtf1 at once}"}, {PasteboardTypes::plainText, "at once"}}}}));
        ASSERT_EQ(log.errors().size(), 1);
        EXPECT_TRUE(log.errors()[0].contains(u"public.html of the copy is skipped (text/html: no answer within 4."))
            << log.errors()[0].toStdString();
    }

    // Half the copy's 4 s for the picture, which would take 4.8 s: it is cut, and the text after it
    // still comes.
    X11Pasteboard patient(1s, 4s);
    QByteArray picture(1 << 20, 'p');
    const QString path = folder_.path() + QStringLiteral("/trickle.png");
    test::writeFile(path, picture);
    test::LogCapture log;
    ASSERT_TRUE(
        ownerCopy({QStringLiteral("serve"), QStringLiteral("--incr"), QStringLiteral("65536"), QStringLiteral("300"),
                   QStringLiteral("image/png=@") + path, QStringLiteral("UTF8_STRING=after the picture")}));
    EXPECT_EQ(contentOf(patient), (QList<ClipItem>{ClipItem{{{PasteboardTypes::plainText, "after the picture"}}}}));
    ASSERT_EQ(log.errors().size(), 1);
    EXPECT_TRUE(log.errors()[0].contains(u"public.png of the copy is skipped (image/png: still arriving after 2."))
        << log.errors()[0].toStdString();
}

// An owner late with one format, past its time, still answers the formats asked for after it,
// and they are kept. The plain text is asked for first, as the reader does.
TEST_F(X11PasteboardTest, FormatsAskedAfterOneGivenUpOnAreStillRead)
{
    // 2 s for each format of a copy's 4 s.
    X11Pasteboard quick(1s, 4s);
    test::LogCapture log;
    ASSERT_TRUE(ownerCopy({QStringLiteral("serve"), QStringLiteral("--delay-at"), QStringLiteral("UTF8_STRING"),
                           QStringLiteral("3000"), QStringLiteral("UTF8_STRING=slow"),
                           QStringLiteral("text/plain=plain text"), QStringLiteral("text/html=<b>html</b>")}));
    const auto items = itemsOf(quick);
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(dataOf(items[0], PasteboardTypes::plainText), "plain text");
    EXPECT_EQ(dataOf(items[0], PasteboardTypes::html), "<b>html</b>");
    EXPECT_TRUE(log.errors().isEmpty()) << log.errors().join(u"\n").toStdString();
}

// An owner puts `?` in its Latin-1 text for whatever Latin-1 cannot hold: that text never takes
// the place of a UTF-8 text that came too late or was refused, which is left out and logged.
TEST_F(X11PasteboardTest, Latin1TextNeverStandsInForUtf8TextThatDidNotCome)
{
    X11Pasteboard quick(1s, 4s);
    const QString latin1 = folder_.path() + QStringLiteral("/latin1.txt");
    test::writeFile(latin1, "na\xefve ? ??? ???? end");
    const QString utf8 = QStringLiteral("UTF8_STRING=naïve → 日本語 Ёлка end");
    const QString string = QStringLiteral("STRING=@") + latin1;
    for (const auto& [arguments, reason] :
         {std::pair{QStringList{QStringLiteral("--delay-at"), QStringLiteral("UTF8_STRING"), QStringLiteral("3000"),
                                utf8, string},
                    QStringLiteral("(UTF8_STRING: no answer within ")},
          std::pair{QStringList{QStringLiteral("--refuse"), QStringLiteral("UTF8_STRING"), string},
                    QStringLiteral("(UTF8_STRING: the owner refused it)")}}) {
        test::LogCapture log;
        ASSERT_TRUE(ownerCopy(QStringList{QStringLiteral("serve")} + arguments));
        const auto items = itemsOf(quick);
        ASSERT_EQ(items.size(), 1);
        EXPECT_EQ(dataOf(items[0], PasteboardTypes::plainText), std::nullopt) << arguments.join(u' ').toStdString();
        ASSERT_EQ(log.errors().size(), 1) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(log.errors()[0].contains(QStringLiteral("public.utf8-plain-text of the copy is skipped ") + reason))
            << log.errors()[0].toStdString();
    }
}

// Owners answer one request at a time: a program that copies anew from the same window while it
// still encodes its last copy (given up on once the new copy replaced it) gets to the new copy's
// questions only once it is done. The new copy has its time from then, and is kept.
TEST_F(X11PasteboardTest, ACopyMadeAgainWhileItsOwnerStillEncodesTheLastHasItsTimeFromWhenTheOwnerIsDone)
{
    test::LogCapture log;
    ASSERT_TRUE(ownerCopy({QStringLiteral("serve"), QStringLiteral("--copy-again-at"), QStringLiteral("text/html"),
                           QStringLiteral("--delay-at"), QStringLiteral("text/html"), QStringLiteral("6000"),
                           QStringLiteral("UTF8_STRING=copied again"), QStringLiteral("text/html=<b>slow</b>")}));
    const auto replaced = itemsOf(pasteboard);
    ASSERT_EQ(replaced.size(), 1);
    EXPECT_EQ(dataOf(replaced[0], PasteboardTypes::html), std::nullopt);
    // The HTML takes the owner 6 s, past the new copy's 4 s for its formats had they counted from
    // the question.
    const auto again = itemsOf(pasteboard);
    ASSERT_EQ(again.size(), 1) << log.errors().join(u"\n").toStdString();
    EXPECT_EQ(dataOf(again[0], PasteboardTypes::plainText), "copied again");
    EXPECT_EQ(log.errors().size(), 1) << log.errors().join(u"\n").toStdString();
}

// An owner may answer after the reader gave up on it, even once it has lost the clipboard. That
// late answer is for the same question the reader then asks the next owner, and must not be
// taken for that owner's: its targets would be read from a property the next owner has not
// written yet, and the copy lost as refused.
TEST_F(X11PasteboardTest, ALateAnswerIsNeverTakenForTheNextOwners)
{
    X11Pasteboard reader(2s, 8s);
    ASSERT_TRUE(ownerCopy({QStringLiteral("serve"), QStringLiteral("--delay-at"), QStringLiteral("TARGETS"),
                           QStringLiteral("4600"), QStringLiteral("UTF8_STRING=first")}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return reader.changeCount() > 0; }, 10000));
    itemsOf(reader); // given up on after 4 s
    ASSERT_TRUE(ownerCopy({QStringLiteral("serve"), QStringLiteral("--delay-at"), QStringLiteral("TARGETS"),
                           QStringLiteral("1500"), QStringLiteral("UTF8_STRING=second")}));
    EXPECT_EQ(contentOf(reader), (QList<ClipItem>{ClipItem{{{PasteboardTypes::plainText, "second"}}}}));

    // A refusal names no property: it must not be taken for the next owner's either.
    ASSERT_TRUE(ownerCopy({QStringLiteral("serve"), QStringLiteral("--delay-at"), QStringLiteral("UTF8_STRING"),
                           QStringLiteral("4600"), QStringLiteral("--refuse"), QStringLiteral("UTF8_STRING")}));
    const auto refusing = itemsOf(reader);
    ASSERT_EQ(refusing.size(), 1);
    EXPECT_EQ(dataOf(refusing[0], PasteboardTypes::plainText), std::nullopt); // given up on after 4 s
    ASSERT_TRUE(ownerCopy({QStringLiteral("serve"), QStringLiteral("--delay-at"), QStringLiteral("UTF8_STRING"),
                           QStringLiteral("1500"), QStringLiteral("UTF8_STRING=third")}));
    EXPECT_EQ(contentOf(reader), (QList<ClipItem>{ClipItem{{{PasteboardTypes::plainText, "third"}}}}));
}

// A program that takes the clipboard just before the reader asks the last owner for a format
// gets that request, and may answer it before the reader runs again: its answer, read in the
// same turn as the server's word of the change, is not taken for the older copy's.
TEST_F(X11PasteboardTest, TheNextOwnersAnswerReadWithTheWordOfTheChangeIsNotTaken)
{
    ASSERT_TRUE(ownerCopy({QStringLiteral("serve"), QStringLiteral("UTF8_STRING=ONE text"),
                           QStringLiteral("text/html=<b>ONE html</b>")}));
    const auto items = itemsOf(pasteboard);
    ASSERT_EQ(items.size(), 1);
    ASSERT_EQ(dataOf(items[0], PasteboardTypes::plainText), "ONE text");
    // The event loop does not run until the next owner has answered.
    QProcess next;
    next.start(QStringLiteral(TAVLIN_TEST_CLIPBOARD_OWNER),
               {QStringLiteral("serve"), QStringLiteral("--take-when-told"), QStringLiteral("text/html=<b>TWO</b>")});
    ASSERT_TRUE(next.waitForReadyRead(10000) && next.readLine() == "held\n");
    auto html = items[0]->data(PasteboardTypes::html);
    next.write("take\n");
    while (!next.readAllStandardOutput().contains("answered") && next.waitForReadyRead(10000)) { }
    EXPECT_EQ(test::await(std::move(html)), std::nullopt);
    next.kill();
    next.waitForFinished(5000);
}

// An owner that answers and quits at once (a viewer closed right after the copy): its answer,
// read off the connection by another look at the clipboard before the reader's own turn, is
// kept, not thrown away as if the owner had quit without answering.
TEST_F(X11PasteboardTest, AnAnswerReadBeforeItsOwnerWasFoundGoneIsKept)
{
    // A moment late, so that the answer comes while the reader waits.
    ASSERT_TRUE(ownerCopy({QStringLiteral("serve"), QStringLiteral("--quit-after"), QStringLiteral("text/html"),
                           QStringLiteral("--delay-at"), QStringLiteral("text/html"), QStringLiteral("200"),
                           QStringLiteral("UTF8_STRING=viewer"), QStringLiteral("text/html=<b>viewer</b>")}));
    const auto items = itemsOf(pasteboard);
    ASSERT_EQ(items.size(), 1);
    auto html = items[0]->data(PasteboardTypes::html);
    ASSERT_TRUE(waitForLastOwnerToQuit());
    pasteboard.ownerApplicationID();
    EXPECT_EQ(test::await(std::move(html)), "<b>viewer</b>");
}

// A request given up on leaves a window its owner may still answer to; once no answer can come
// any more, the window goes.
TEST_F(X11PasteboardTest, WindowsKeptForLateAnswersGoOnceNoneCanCome)
{
    X11Pasteboard reader(1s, 2s);
    ASSERT_TRUE(ownerCopy({QStringLiteral("mute")}));
    const int before = topWindows();
    EXPECT_TRUE(contentOf(reader).value(0).representations.isEmpty());
    // How many requests were given up on depends on the machine's load: at least one was.
    EXPECT_GT(topWindows(), before);
    EXPECT_TRUE(QTest::qWaitFor([&] { return topWindows() == before; }, 20000)) << topWindows() - before;
}

// Quitting while an owner keeps a read waiting: the read ends with the pasteboard, leaving no
// coroutine suspended, also one that waited for its turn on the connection.
TEST_F(X11PasteboardTest, ReadsUnderWayEndWithThePasteboard)
{
    auto ending = std::make_unique<X11Pasteboard>();
    ASSERT_TRUE(ownerCopy({QStringLiteral("mute")}));
    const auto items = test::await(ending->items());
    ASSERT_EQ(items.size(), 1);
    auto html = items[0]->data(PasteboardTypes::html);
    auto text = items[0]->data(PasteboardTypes::plainText);
    EXPECT_TRUE(eventLoopRunsWhileAwaiting(html));
    ASSERT_FALSE(text.isReady());
    ending.reset();
    EXPECT_TRUE(html.isReady());
    EXPECT_TRUE(text.isReady());
    EXPECT_EQ(test::await(std::move(html)), std::nullopt);
    EXPECT_EQ(test::await(std::move(text)), std::nullopt);
}

TEST(X11PasteboardBudget, AChangeThatOutlastsItsBudgetKeepsWhatCameInTime)
{
    test::LogCapture log;
    // Each answer a second late: the targets, the HTML and the RTF come within 3.5 s, the text
    // would come after.
    X11Pasteboard pasteboard(2s, 3500ms);
    QProcess owner;
    owner.start(QStringLiteral(TAVLIN_TEST_CLIPBOARD_OWNER),
                {QStringLiteral("serve"), QStringLiteral("--delay"), QStringLiteral("1000"),
                 QStringLiteral("text/html=<b>in time</b>"), QStringLiteral("text/rtf={\\rtf1 in time}"),
                 QStringLiteral("UTF8_STRING=too late")});
    ASSERT_TRUE(owner.waitForReadyRead(10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return pasteboard.changeCount() > 0; }, 10000));

    auto items = pasteboard.items();
    EXPECT_TRUE(eventLoopRunsWhileAwaiting(items));
    EXPECT_EQ(test::await(std::move(items)).size(), 1);
    EXPECT_EQ(contentOf(pasteboard),
              (QList<ClipItem>{
                  ClipItem{{{PasteboardTypes::html, "<b>in time</b>"}, {PasteboardTypes::rtf, "{\\rtf1 in time}"}}}}));
    EXPECT_EQ(log.errors().size(), 1);
    owner.kill();
    owner.waitForFinished(5000);
}

} // namespace
} // namespace tavlin
