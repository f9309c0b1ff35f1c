// What keeps the history on disk whole: an emptied database never costs the payload files, two
// processes on one database store a capture once, and one malformed row never stops recording.
#include "StorageError.h"
#include "StoreTestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <barrier>
#include <thread>

using namespace tavlin;
using namespace tavlin::test;

namespace {

struct ReportingStore {
    QStringList reported;
    HistoryStore store;

    explicit ReportingStore(const QString& databasePath)
        : store(databasePath, [this](const std::exception& error) { reported.append(QString::fromUtf8(error.what())); })
    {
    }
};

} // namespace

TEST(HistoryFiles, AnEmptiedOrDeletedDatabaseNeverCostsThePayloadFiles)
{
    for (const bool deleted : {false, true}) {
        StoreFixture fixture;
        for (const QString& text : {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")})
            fixture.insertText(text);
        fixture.store.reset();
        const QStringList files = payloadFiles(fixture.folder.payloadFolder());
        ASSERT_EQ(files.size(), 3);
        if (deleted)
            ASSERT_TRUE(QFile::remove(fixture.folder.databasePath()));
        else
            writeFile(fixture.folder.databasePath(), QByteArray());

        {
            ReportingStore reopened(fixture.folder.databasePath());
            EXPECT_TRUE(reopened.store.fetch(10, QString()).isEmpty());
            EXPECT_EQ(reopened.reported.size(), 1) << "logged once";
            reopened.store.insert(QStringLiteral("after"), std::nullopt, 1000, HistoryStore::maximumStoredPayloadBytes);
        }
        // Later openings, which do clean up, never reach them either.
        fixture.reopen();
        fixture.store->clear(false);
        EXPECT_TRUE(payloadFiles(fixture.folder.payloadFolder()).isEmpty());
        const QStringList aside = QDir(fixture.folder.payloadFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        ASSERT_EQ(aside.size(), 1);
        const QString asideFolder = fixture.folder.payloadFolder() + u'/' + aside.first();
        EXPECT_EQ(payloadFiles(asideFolder), files) << (deleted ? "deleted" : "emptied");
        EXPECT_EQ(permissions(asideFolder), 0700u);
    }
}

// Two processes on one history (two instances started together) both see the same copy; it is
// stored once however their inserts interleave.
TEST(HistoryFiles, TwoStoresOnOneDatabaseStoreEachCaptureOnce)
{
    TemporaryFolder folder;
    HistoryStore(folder.databasePath()); // created before both open it
    constexpr int rounds = 25;
    std::barrier<> start(2);
    const auto capture = [&] {
        HistoryStore store(folder.databasePath());
        for (int round = 0; round < rounds; ++round) {
            start.arrive_and_wait();
            const QString text = QStringLiteral("copy %1").arg(round);
            store.insert(textPayload(text), text, ClipKind::text, std::nullopt, 1000,
                         HistoryStore::maximumStoredPayloadBytes);
        }
    };
    std::thread other(capture);
    capture();
    other.join();
    EXPECT_EQ(queryInteger(folder.databasePath(), QStringLiteral("SELECT COUNT(*) FROM clips")), rounds);
    EXPECT_EQ(payloadFiles(folder.payloadFolder()).size(), rounds);
}

TEST(HistoryFiles, AMalformedReferenceMetByPruningGoesWithoutTouchingAnyFile)
{
    TemporaryFolder folder;
    ReportingStore history(folder.databasePath());
    const auto insert = [&](const QString& text, qint64 limit) {
        history.store.insert(textPayload(text), text, ClipKind::text, std::nullopt, limit,
                             HistoryStore::maximumStoredPayloadBytes);
    };
    insert(QStringLiteral("old"), 1000);
    insert(QStringLiteral("newer"), 1000);
    // A name that, taken as a path, would reach a file outside the payload folder.
    const QString victim = folder.path() + QStringLiteral("/Tavlin/victim.clip");
    writeFile(victim, "keep me");
    executeSQL(folder.databasePath(),
               QStringLiteral("UPDATE clips SET payload_filename = '../victim.clip' WHERE id = 1"));
    const QStringList files = payloadFiles(folder.payloadFolder());

    insert(QStringLiteral("newest"), 2);
    EXPECT_EQ(queryTexts(folder.databasePath(), QStringLiteral("SELECT text FROM clips ORDER BY id")),
              (QStringList{QStringLiteral("newer"), QStringLiteral("newest")}));
    EXPECT_EQ(readFile(victim), QByteArray("keep me"));
    EXPECT_EQ(payloadFiles(folder.payloadFolder()).size(), files.size() + 1);
    EXPECT_EQ(history.reported.size(), 1) << "logged once";

    // Recording goes on once the history is full.
    insert(QStringLiteral("later"), 2);
    EXPECT_EQ(queryTexts(folder.databasePath(), QStringLiteral("SELECT text FROM clips ORDER BY id")),
              (QStringList{QStringLiteral("newest"), QStringLiteral("later")}));
    EXPECT_EQ(history.reported.size(), 1);
}
