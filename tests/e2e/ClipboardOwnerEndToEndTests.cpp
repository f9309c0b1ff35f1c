// Clipboard owners that misbehave, against the real application: one that offers 60,000
// targets, one that answers each of twelve formats 0.45 s late, one that sends a picture in
// 64 KiB pieces 0.3 s apart. While Tavlin reads them its main thread answers every _NET_WM_PING
// within a second, a copy made meanwhile is stored within 3 s, and SIGTERM ends it within 2 s.
#include "ApplicationProfile.h"
#include "MainThreadPings.h"

#include <QTemporaryFile>

#include <gtest/gtest.h>

using namespace tavlin::test;

namespace {

struct HostileOwner {
    const char* name;
    // The test clipboard owner's options and targets after "serve".
    QStringList arguments;
};

void PrintTo(const HostileOwner& owner, std::ostream* stream)
{
    *stream << owner.name;
}

// A megabyte that the owner reads from a file: too long for its command line.
QString picturePath()
{
    static QTemporaryFile picture;
    if (!picture.isOpen() && picture.open()) {
        picture.write(QByteArray(1 << 20, 'p'));
        picture.flush();
    }
    return picture.fileName();
}

QList<HostileOwner> hostileOwners()
{
    return {
        {"SixtyThousandTargets",
         {QStringLiteral("--targets"), QStringLiteral("60000"), QStringLiteral("UTF8_STRING=many targets")}},
        {"TwelveFormatsEachAfter450ms",
         {QStringLiteral("--delay"), QStringLiteral("450"), QStringLiteral("text/uri-list=https://example.org/"),
          QStringLiteral("x-kde-passwordManagerHint=no"), QStringLiteral("UTF8_STRING=slow"),
          QStringLiteral("text/html=<b>slow</b>"), QStringLiteral("text/rtf={\\rtf1 slow}"),
          QStringLiteral("application/pdf=%PDF-1.4"), QStringLiteral("image/jpeg=j"), QStringLiteral("image/gif=g"),
          QStringLiteral("image/tiff=t"), QStringLiteral("image/bmp=b"), QStringLiteral("image/webp=w")}},
        {"PictureInPiecesEvery300ms", {}},
    };
}

class HostileOwnerEndToEnd : public testing::TestWithParam<HostileOwner> {
protected:
    void TearDown() override
    {
        for (auto& owner : owners_) {
            owner->kill();
            owner->waitForFinished(5000);
        }
    }

    void startOwner()
    {
        QStringList arguments = GetParam().arguments;
        if (arguments.isEmpty()) {
            arguments = {QStringLiteral("--incr"), QStringLiteral("65536"), QStringLiteral("300"),
                         QStringLiteral("image/png=@") + picturePath()};
        }
        auto owner = std::make_unique<QProcess>();
        owner->start(QStringLiteral(TAVLIN_TEST_CLIPBOARD_OWNER), QStringList{QStringLiteral("serve")} + arguments);
        ASSERT_TRUE(owner->waitForReadyRead(30000)) << "the owner did not take the clipboard";
        owners_.push_back(std::move(owner));
    }

private:
    std::vector<std::unique_ptr<QProcess>> owners_;
};

qint64 recordsWithText(const Profile& profile, const QString& text)
{
    if (!QFile::exists(profile.database))
        return 0;
    try {
        return queryInteger(profile.database, QStringLiteral("SELECT COUNT(*) FROM clips WHERE text = '%1'").arg(text));
    } catch (const std::exception&) {
        return 0; // not created yet
    }
}

QStringList storedTexts(const Profile& profile)
{
    try {
        return queryTexts(profile.database, QStringLiteral("SELECT text FROM clips ORDER BY id"));
    } catch (const std::exception&) {
        return {}; // not created yet
    }
}

TEST_P(HostileOwnerEndToEnd, TheApplicationKeepsAnsweringAndCapturing)
{
    Desktop desktop;
    Profile profile;
    profile.storeKnown();
    auto application = profile.launch();
    QByteArray log;
    ASSERT_TRUE(waitForMonitoring(*application, log)) << log.toStdString();
    MainThreadPings pings(application->processId());

    startOwner();
    // Two looks at the clipboard: the owner is being read.
    QTest::qWait(1500);
    copyWithXclip(QStringLiteral("a copy made meanwhile"));
    EXPECT_TRUE(
        waitUntil([&] { return recordsWithText(profile, QStringLiteral("a copy made meanwhile")) == 1; }, 10000))
        << "the copy was not stored within 3 s";

    // Stopped while it reads the owner once more.
    startOwner();
    QTest::qWait(1500);
    EXPECT_TRUE(pings.answeredWithin(1000));

    stop(*application, 2000);
}

// Owners that quit, or are replaced, while Tavlin reads their copy: what came whole is kept, its
// text first, and what did not is said in the log, as is a copy of which nothing came.
TEST(OwnerLeavingEndToEnd, WhatCameWholeIsKeptAndWhatDidNotIsLogged)
{
    Desktop desktop;
    Profile profile;
    profile.storeKnown();
    auto application = profile.launch();
    QByteArray log;
    ASSERT_TRUE(waitForMonitoring(*application, log)) << log.toStdString();
    const auto logged = [&](const char* words) {
        return waitUntil(
            [&] {
                log += application->readAllStandardError();
                return log.contains(words);
            },
            10000);
    };
    const auto texts = [&] { return storedTexts(profile); };
    std::vector<std::unique_ptr<QProcess>> owners;
    const auto serve = [&](const QStringList& arguments) {
        owners.push_back(std::make_unique<QProcess>());
        owners.back()->start(QStringLiteral(TAVLIN_TEST_CLIPBOARD_OWNER),
                             QStringList{QStringLiteral("serve")} + arguments);
        EXPECT_TRUE(owners.back()->waitForReadyRead(30000)) << "the owner did not take the clipboard";
    };

    // It quits when asked for its RTF, after its text and HTML.
    serve({QStringLiteral("--quit-at"), QStringLiteral("text/rtf"), QStringLiteral("UTF8_STRING=before it quit"),
           QStringLiteral("text/html=<b>before it quit</b>"), QStringLiteral("text/rtf={\\rtf1 never}")});
    EXPECT_TRUE(waitUntil([&] { return texts() == QStringList{QStringLiteral("before it quit")}; }, 10000));
    EXPECT_EQ(queryTexts(profile.database, QStringLiteral("SELECT kind FROM clips")), QStringList{"richText"});
    EXPECT_TRUE(logged("public.rtf of the copy is skipped (text/rtf: its owner quit before answering)"))
        << log.toStdString();

    // It quits in the middle of handing a picture over: nothing came whole.
    serve({QStringLiteral("--incr"), QStringLiteral("65536"), QStringLiteral("0"),
           QStringLiteral("--quit-after-pieces"), QStringLiteral("3"), QStringLiteral("image/png=@") + picturePath()});
    EXPECT_TRUE(logged("a copy is not kept, none of its formats came (public.png)")) << log.toStdString();
    EXPECT_TRUE(log.contains("(image/png: its owner quit after ")) << log.toStdString();

    // A file list that came whole, replaced when its text is asked for, before its files are
    // taken apart: the list is kept with every file it named, and the newer copy after it.
    QByteArray list;
    for (int i = 0; i < 20'000; ++i)
        list += QStringLiteral("file:///home/user/Pictures/IMG_%1.jpg\r\n").arg(i).toUtf8();
    QTemporaryFile listFile;
    ASSERT_TRUE(listFile.open());
    listFile.write(list);
    listFile.flush();
    serve({QStringLiteral("--hand-over-at"), QStringLiteral("UTF8_STRING"),
           QStringLiteral("copied right after the list"), QStringLiteral("text/uri-list=@") + listFile.fileName(),
           QStringLiteral("UTF8_STRING=never")});
    EXPECT_TRUE(waitUntil(
        [&] {
            return texts()
                == QStringList{QStringLiteral("before it quit"), QStringLiteral("Файлы (20000)"),
                               QStringLiteral("copied right after the list")};
        },
        20000))
        << texts().join(u", ").toStdString();

    stop(*application, 2000);
    for (auto& owner : owners) {
        owner->kill();
        owner->waitForFinished(5000);
    }
}

// A program that holds the clipboard and does not say what it holds, frozen or seconds late, or
// names its formats and never hands one over, or stays busy for seconds inside one, holds up no
// copy made after it: copies a second apart are each kept, in order, and the stuck owner's copy is
// said not to be.
TEST(StuckOwnerEndToEnd, CopiesMadeWhileAnOwnerIsStuckAreEachKeptInOrder)
{
    Desktop desktop;
    Profile profile;
    profile.storeKnown();
    auto application = profile.launch();
    QByteArray log;
    ASSERT_TRUE(waitForMonitoring(*application, log)) << log.toStdString();
    struct StuckOwner {
        QStringList arguments;
        // The question it is stuck on, once Tavlin has asked it.
        QByteArray asked;
    };
    const QList<StuckOwner> stuckOwners{
        {{QStringLiteral("silent")}, "asked TARGETS\n"},
        {{QStringLiteral("serve"), QStringLiteral("--delay-at"), QStringLiteral("TARGETS"), QStringLiteral("3000"),
          QStringLiteral("UTF8_STRING=named late")},
         "asked TARGETS\n"},
        {{QStringLiteral("mute")}, "asked text/plain\n"},
        // Alive all the while, unlike the one before, which quits as it loses the clipboard.
        {{QStringLiteral("serve"), QStringLiteral("--delay-at"), QStringLiteral("UTF8_STRING"), QStringLiteral("6000"),
          QStringLiteral("UTF8_STRING=encoded late")},
         "asked UTF8_STRING\n"},
    };
    QStringList copies;
    for (const StuckOwner& stuck : stuckOwners) {
        QProcess owner;
        owner.start(QStringLiteral(TAVLIN_TEST_CLIPBOARD_OWNER), stuck.arguments);
        ASSERT_TRUE(owner.waitForReadyRead(30000)) << "the owner did not take the clipboard";
        // Copies made before Tavlin has seen the stuck owner would not be held up by it.
        QByteArray said;
        ASSERT_TRUE(waitUntil(
            [&] {
                said += owner.readAllStandardOutput();
                return said.contains(stuck.asked);
            },
            30000))
            << said.toStdString();
        for (int i = 1; i <= 3; ++i) {
            QTest::qWait(1000);
            copies.append(QStringLiteral("copy %1 after %2").arg(i).arg(stuck.arguments.join(u' ')));
            copyWithXclip(copies.last());
        }
        EXPECT_TRUE(waitUntil([&] { return storedTexts(profile) == copies; }, 10000))
            << storedTexts(profile).join(u", ").toStdString();
        owner.kill();
        owner.waitForFinished(5000);
    }
    const auto logged = [&](const char* words, qsizetype times) {
        waitUntil(
            [&] {
                log += application->readAllStandardError();
                return log.count(words) >= times;
            },
            10000);
        return log.count(words);
    };
    EXPECT_EQ(logged("the copy is not kept, its owner did not say what it holds (TARGETS: no answer in ", 2), 2)
        << log.toStdString();
    EXPECT_EQ(logged("a copy is not kept, none of its formats came (public.utf8-plain-text, public.html)", 1), 1)
        << log.toStdString();
    EXPECT_EQ(logged("public.utf8-plain-text of the copy is skipped (UTF8_STRING: no answer in ", 1), 1)
        << log.toStdString();
    stop(*application, 2000);
}

INSTANTIATE_TEST_SUITE_P(, HostileOwnerEndToEnd, testing::ValuesIn(hostileOwners()),
                         [](const testing::TestParamInfo<HostileOwner>& info) { return std::string(info.param.name); });

} // namespace
