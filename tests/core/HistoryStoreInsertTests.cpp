#include "ClipPayloadCoder.h"
#include "FileSystemError.h"
#include "StorageError.h"
#include "StoreTestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

// A payload whose encoded file is exactly `size` bytes.
ClipPayload payloadOfEncodedSize(qint64 size)
{
    ClipPayload payload{{ClipItem{{{QStringLiteral("public.png"), QByteArray(size, 'p')}}}}, std::nullopt};
    for (int attempt = 0; attempt < 4; ++attempt) {
        const qint64 encoded = ClipPayloadCoder::encode(payload).size();
        if (encoded == size)
            return payload;
        payload.items[0].representations[0].data.resize(payload.items[0].representations[0].data.size()
                                                        - (encoded - size));
    }
    throw std::runtime_error("could not size the payload");
}

// Rows straight into the table, for histories too large to build through inserts quickly.
void addRows(const QString& database, int count, bool favorite, qint64 bytes = 0)
{
    QString sql = QStringLiteral("BEGIN;");
    for (int i = 0; i < count; ++i) {
        sql += QStringLiteral("INSERT INTO clips(text, created_at, search_text, kind, payload_bytes, is_favorite) "
                              "VALUES ('row %1', 1, 'row %1', 'image', %2, %3);")
                   .arg(i)
                   .arg(bytes)
                   .arg(favorite ? 1 : 0);
    }
    executeSQL(database, sql + QStringLiteral("COMMIT;"));
}

} // namespace

TEST(HistoryStoreInsert, StoresARowAndAPayloadFileThatLoadsBack)
{
    StoreFixture fixture;
    ClipPayload payload{{ClipItem{{{QStringLiteral("public.html"), "<b>Ёлка</b>"},
                                   {QStringLiteral("public.utf8-plain-text"), "Ёлка"}}}},
                        ClipMetadata{4, 1, std::nullopt, std::nullopt, {}, {}, std::nullopt}};
    fixture.store->insert(payload, QStringLiteral("Ёлка"), ClipKind::richText, QStringLiteral("org.mozilla.firefox"),
                          1000, HistoryStore::maximumStoredPayloadBytes);

    const QString database = fixture.folder.databasePath();
    const qint64 id = fixture.newestID();
    const QString fileName = fixture.fileNameOf(id);
    EXPECT_TRUE(HistoryStore::isValidPayloadFileName(fileName));
    EXPECT_EQ(fileName, fileName.toUpper().replace(QStringLiteral(".CLIP"), QStringLiteral(".clip")));
    const QString path = fixture.folder.payloadFolder() + u'/' + fileName;
    EXPECT_EQ(permissions(path), 0600u);
    EXPECT_EQ(queryInteger(database, QStringLiteral("SELECT payload_bytes FROM clips")), QFile(path).size());
    EXPECT_EQ(queryTexts(database, QStringLiteral("SELECT payload_digest FROM clips")),
              QStringList{HistoryStore::fingerprint(payload)});
    EXPECT_EQ(queryTexts(database, QStringLiteral("SELECT search_text || '|' || kind || '|' || source FROM clips")),
              QStringList{QStringLiteral("елка|richText|org.mozilla.firefox")});
    EXPECT_EQ(fixture.store->loadPayload(id), payload);
    EXPECT_EQ(payloadFiles(fixture.folder.payloadFolder()), QStringList{fileName}) << "no temporary file left behind";

    // The plain-text form ignores blank text.
    fixture.store->insert(QStringLiteral(" \n\t "), std::nullopt, 1000, HistoryStore::maximumStoredPayloadBytes);
    EXPECT_EQ(fixture.texts().size(), 1);
}

TEST(HistoryStoreInsert, SkipsOnlyARepeatOfTheNewestRecord)
{
    StoreFixture fixture;
    fixture.insertText(QStringLiteral("A"));
    fixture.insertText(QStringLiteral("A"));
    EXPECT_EQ(fixture.texts(), QStringList{QStringLiteral("A")});
    fixture.insertText(QStringLiteral("B"));
    fixture.insertText(QStringLiteral("A"));
    EXPECT_EQ(fixture.texts(), (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("A")}));
    EXPECT_EQ(payloadFiles(fixture.folder.payloadFolder()).size(), 3);

    // A newest legacy row matches exactly the plain-text payload of its text, nothing richer.
    executeSQL(fixture.folder.databasePath(),
               QStringLiteral("INSERT INTO clips(text, created_at, search_text) VALUES ('legacy', 1, 'legacy')"));
    fixture.insertText(QStringLiteral("legacy"));
    EXPECT_EQ(fixture.texts().size(), 4);
    ClipPayload described = textPayload(QStringLiteral("legacy"));
    described.metadata = ClipMetadata{};
    fixture.store->insert(described, QStringLiteral("legacy"), ClipKind::text, std::nullopt, 1000,
                          HistoryStore::maximumStoredPayloadBytes);
    EXPECT_EQ(fixture.texts().size(), 5);
}

// A copy that waited to be stored keeps the time it was made, but never reads as older than the
// record stored before it: the newest by id stays the newest by time.
TEST(HistoryStoreInsert, AWaitingCopyKeepsItsCopyTimeButNeverPrecedesTheNewestRecord)
{
    StoreFixture fixture;
    const auto insert = [&](const QString& text, const QDateTime& copiedAt) {
        fixture.store->insert(textPayload(text), text, ClipKind::text, std::nullopt, 1000,
                              HistoryStore::maximumStoredPayloadBytes, copiedAt);
    };
    const QDateTime tenMinutesAgo = QDateTime::currentDateTimeUtc().addSecs(-600);
    insert(QStringLiteral("waited ten minutes"), tenMinutesAgo);
    insert(QStringLiteral("stored as it came"), QDateTime());
    insert(QStringLiteral("waited as long, stored later"), tenMinutesAgo);
    const QStringList milliseconds = queryTexts(
        fixture.folder.databasePath(),
        QStringLiteral("SELECT printf('%d', CAST(round(created_at * 1000) AS INTEGER)) FROM clips ORDER BY id"));
    ASSERT_EQ(milliseconds.size(), 3);
    EXPECT_EQ(milliseconds[0].toLongLong(), tenMinutesAgo.toMSecsSinceEpoch());
    EXPECT_GT(milliseconds[1].toLongLong(), tenMinutesAgo.addSecs(590).toMSecsSinceEpoch());
    EXPECT_EQ(milliseconds[2], milliseconds[1]);
}

TEST(HistoryStoreInsert, EvictsTheOldestNonFavoritesAndNeverAFavoriteOrTheNewRecord)
{
    StoreFixture fixture;
    for (const char* text : {"1", "2", "3", "4", "5"})
        fixture.insertText(QString::fromLatin1(text));
    const QString database = fixture.folder.databasePath();
    fixture.store->setFavorite(1, true);
    const QString evictedFile = fixture.fileNameOf(2);

    fixture.insertText(QStringLiteral("6"), 3);
    EXPECT_EQ(fixture.texts(), (QStringList{QStringLiteral("6"), QStringLiteral("5"), QStringLiteral("1")}));
    EXPECT_FALSE(payloadFiles(fixture.folder.payloadFolder()).contains(evictedFile));
    EXPECT_EQ(payloadFiles(fixture.folder.payloadFolder()).size(), 3);

    // A limit of 0 or less acts as 1, plus room for the favorites.
    fixture.insertText(QStringLiteral("7"), -5);
    EXPECT_EQ(fixture.texts(), (QStringList{QStringLiteral("7"), QStringLiteral("1")}));

    // By bytes: the new record stays even when it alone is over the limit.
    fixture.insertText(QStringLiteral("a fairly long eighth record"), 1000, 1);
    EXPECT_EQ(fixture.texts(), (QStringList{QStringLiteral("a fairly long eighth record"), QStringLiteral("1")}));
    EXPECT_EQ(queryInteger(database, QStringLiteral("SELECT COUNT(*) FROM clips WHERE is_favorite = 1")), 1);
}

TEST(HistoryStoreInsert, FavoritesFillingTheHardCeilingRefuseNewRecords)
{
    StoreFixture fixture;
    const QString database = fixture.folder.databasePath();
    addRows(database, 5, false);
    addRows(database, 999, true);
    fixture.insertText(QStringLiteral("fits"));
    EXPECT_EQ(queryInteger(database, QStringLiteral("SELECT COUNT(*) FROM clips")), 1000);
    EXPECT_EQ(queryInteger(database, QStringLiteral("SELECT COUNT(*) FROM clips WHERE is_favorite = 0")), 1);

    executeSQL(database, QStringLiteral("UPDATE clips SET is_favorite = 1"));
    const QStringList filesBefore = payloadFiles(fixture.folder.payloadFolder());
    try {
        fixture.insertText(QStringLiteral("no room"));
        FAIL() << "an insert beyond 1000 favorites succeeded";
    } catch (const StorageError& error) {
        EXPECT_EQ(error.kind(), StorageError::Kind::limit);
        EXPECT_EQ(error.localizedDescription(), StorageError::favoritesFillHistoryText());
    }
    EXPECT_EQ(queryInteger(database, QStringLiteral("SELECT COUNT(*) FROM clips")), 1000);
    EXPECT_EQ(payloadFiles(fixture.folder.payloadFolder()), filesBefore) << "the new file is removed again";
}

TEST(HistoryStoreInsert, PayloadSizeLimitIsExact)
{
    StoreFixture fixture;
    const ClipPayload largest = payloadOfEncodedSize(HistoryStore::maximumPayloadBytes);
    fixture.store->insert(largest, QStringLiteral("Изображение"), ClipKind::image, std::nullopt, 1000,
                          HistoryStore::maximumStoredPayloadBytes);
    EXPECT_EQ(fixture.store->loadPayload(fixture.newestID()), largest);

    const ClipPayload tooLarge = payloadOfEncodedSize(HistoryStore::maximumPayloadBytes + 1);
    try {
        fixture.store->insert(tooLarge, QStringLiteral("Изображение"), ClipKind::image, std::nullopt, 1000,
                              HistoryStore::maximumStoredPayloadBytes);
        FAIL() << "an oversized payload was stored";
    } catch (const StorageError& error) {
        EXPECT_EQ(error.kind(), StorageError::Kind::limit);
        EXPECT_EQ(error.localizedDescription(), QStringLiteral("The record is larger than 32 MB and wasn’t saved."));
    }
    EXPECT_EQ(fixture.texts().size(), 1);
    EXPECT_EQ(payloadFiles(fixture.folder.payloadFolder()).size(), 1);
}

TEST(HistoryStoreInsert, AFailedWriteLeavesTheHistoryAsItWas)
{
    TemporaryFolder folder;
    {
        HistoryStore store(folder.databasePath());
        store.insert(QStringLiteral("before"), std::nullopt, 1000, HistoryStore::maximumStoredPayloadBytes);
    }
    folder.giveToUnprivilegedUser();
    const int status = runAsUnprivilegedUser([&] {
        HistoryStore store(folder.databasePath());
        ::chmod(QFile::encodeName(folder.payloadFolder()).constData(), 0500);
        try {
            store.insert(QStringLiteral("after"), std::nullopt, 1000, HistoryStore::maximumStoredPayloadBytes);
            return 1;
        } catch (const FileSystemError& error) {
            if (error.errorNumber() != EACCES)
                return 2;
        }
        const QList<Clip> clips = store.fetch(10, QString());
        if (clips.size() != 1 || clips[0].text != QStringLiteral("before"))
            return 3;
        return store.loadPayload(clips[0].id) == textPayload(QStringLiteral("before")) ? 0 : 4;
    });
    EXPECT_EQ(status, 0);
}

// Quitting stops a store under way: it leaves no row and no file, and the store works on once
// the request is withdrawn.
TEST(HistoryStoreInsert, AStopRequestLeavesTheHistoryAsItWas)
{
    StoreFixture fixture;
    fixture.insertText(QStringLiteral("before"));
    std::atomic<bool> stop = true;
    fixture.store->setStopRequest(&stop);
    EXPECT_THROW(fixture.insertText(QStringLiteral("while quitting")), StorageError);
    EXPECT_EQ(fixture.texts(), QStringList{QStringLiteral("before")});
    EXPECT_EQ(QDir(fixture.folder.payloadFolder()).entryList(QDir::Files).size(), 1);

    stop = false;
    fixture.insertText(QStringLiteral("after"));
    EXPECT_EQ(fixture.texts(), (QStringList{QStringLiteral("after"), QStringLiteral("before")}));
}

TEST(HistoryStoreRetention, ImpactAndApplyAgreeAndRespectFavorites)
{
    StoreFixture fixture;
    const QString database = fixture.folder.databasePath();
    addRows(database, 120, false, 1000);
    addRows(database, 10, true, 500);

    const HistoryRetention hundred{100, 64 * HistoryRetention::mebibyte};
    const RetentionImpact impact = fixture.store->retentionImpact(hundred);
    EXPECT_EQ(impact, (RetentionImpact{130, 125'000, 10, 5'000, 30, 30'000, true}));

    // Favorites that exactly fill a limit are feasible for the impact (nothing is reserved).
    const RetentionImpact exact = fixture.store->retentionImpact(HistoryRetention{10, 64 * HistoryRetention::mebibyte});
    EXPECT_TRUE(exact.isFeasible);
    EXPECT_EQ(exact.evictedCount, 120);
    EXPECT_FALSE(fixture.store->retentionImpact(HistoryRetention{9, 0}).isFeasible);

    EXPECT_THROW(fixture.store->applyRetention(HistoryRetention{99, 64 * HistoryRetention::mebibyte}, std::nullopt),
                 StorageError);
    try {
        fixture.store->applyRetention(hundred, 0);
        FAIL() << "deleted more than agreed";
    } catch (const RetentionImpactChanged& changed) {
        EXPECT_EQ(changed.impact(), impact);
        EXPECT_EQ(changed.localizedDescription(), QStringLiteral("History changed: confirm the deletion again."));
    }
    EXPECT_EQ(queryInteger(database, QStringLiteral("SELECT COUNT(*) FROM clips")), 130);

    EXPECT_EQ(fixture.store->applyRetention(hundred, 30), impact);
    EXPECT_EQ(queryInteger(database, QStringLiteral("SELECT COUNT(*) FROM clips")), 100);
    EXPECT_EQ(queryInteger(database, QStringLiteral("SELECT MIN(id) FROM clips WHERE is_favorite = 0")), 31)
        << "the oldest go first";
    EXPECT_EQ(queryInteger(database, QStringLiteral("SELECT COUNT(*) FROM clips WHERE is_favorite = 1")), 10);
}

TEST(HistoryStoreRetention, InfeasibleLimitsChangeNothing)
{
    StoreFixture fixture;
    const QString database = fixture.folder.databasePath();
    addRows(database, 101, true);
    try {
        fixture.store->applyRetention(HistoryRetention{100, 64 * HistoryRetention::mebibyte}, std::nullopt);
        FAIL() << "applied an infeasible limit";
    } catch (const StorageError& error) {
        EXPECT_EQ(error.localizedDescription(), QStringLiteral("Favorites don’t fit within the selected limit."));
    }
    EXPECT_EQ(queryInteger(database, QStringLiteral("SELECT COUNT(*) FROM clips")), 101);
}

TEST(HistoryStoreRetention, AppliedLimitRemovesTheEvictedFiles)
{
    StoreFixture fixture;
    for (int i = 0; i < 105; ++i)
        fixture.insertText(QStringLiteral("record %1").arg(i));
    fixture.store->applyRetention(HistoryRetention{100, 64 * HistoryRetention::mebibyte}, std::nullopt);
    EXPECT_EQ(payloadFiles(fixture.folder.payloadFolder()).size(), 100);
    EXPECT_EQ(fixture.texts().last(), QStringLiteral("record 5"));
}
