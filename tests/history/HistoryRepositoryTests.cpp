#include "AwaitTask.h"
#include "ClipboardReadError.h"
#include "HistoryRepository.h"
#include "ImageSamples.h"
#include "LogCapture.h"
#include "RichTextDocument.h"
#include "StorageError.h"
#include "StoreTestSupport.h"
#include "StoredPlaceholder.h"

#include <QBuffer>
#include <QColor>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRandomGenerator>
#include <QSet>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QtEndian>

#include <gtest/gtest.h>
#include <qcoro/qcorofuture.h>
#include <unistd.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

template <class T>
T result(QFuture<T> future)
{
    return await([](QFuture<T> f) -> QCoro::Task<T> { co_return co_await f; }(std::move(future)));
}

void wait(QFuture<void> future)
{
    await([](QFuture<void> f) -> QCoro::Task<> { co_await f; }(std::move(future)));
}

struct RepositoryFixture {
    TemporaryFolder folder;
    HistoryRepository repository{folder.databasePath()};

    void insert(const QString& text, ClipKind kind = ClipKind::text, QList<ClipRepresentation> extra = {})
    {
        ClipItem item{{{QStringLiteral("public.utf8-plain-text"), text.toUtf8()}}};
        item.representations.append(extra);
        wait(repository.insert({text, kind, {{item}, std::nullopt}}, std::nullopt, HistoryRetention::standard()));
    }

    QList<Clip> clips() { return result(repository.page({})).clips; }
};

} // namespace

TEST(HistoryRepository, PagesCoverTheWholeHistoryAndOpenLazily)
{
    RepositoryFixture fixture;
    EXPECT_FALSE(QFile::exists(fixture.folder.databasePath())) << "nothing opens before the first operation";
    EXPECT_EQ(result(fixture.repository.page({})), HistoryRepository::Page{});

    for (int i = 0; i < 205; ++i)
        fixture.insert(QStringLiteral("record %1").arg(i));
    const HistoryRepository::Page page = result(fixture.repository.page({QStringLiteral("record"), false, {}, {}}));
    EXPECT_EQ(page.clips.size(), 200);
    EXPECT_EQ(page.matchedCount, 205);
    EXPECT_EQ(page.summary, (HistorySummary{205, 0}));
    EXPECT_EQ(page.sources, (QList<ClipSourceSummary>{{std::nullopt, 205}}));
    EXPECT_EQ(page.clips.first().text, QStringLiteral("record 204"));

    // Metadata is attached on insert.
    const ClipPayload stored = result(fixture.repository.payload(page.clips.first()));
    ASSERT_TRUE(stored.metadata.has_value());
    EXPECT_EQ(stored.metadata->characterCount, 10);
}

TEST(HistoryRepository, RowsAreCachedForTheLast64ComputedRecords)
{
    RepositoryFixture fixture;
    for (int i = 0; i < 66; ++i)
        fixture.insert(QStringLiteral("record %1").arg(i));
    const QList<Clip> clips = fixture.clips();
    const Clip first = clips.last();
    const ClipRowPresentation row = result(fixture.repository.rowPresentation(first));

    // With its file gone, only the cache can still answer for the record.
    const QString fileName = queryTexts(
                                 fixture.folder.databasePath(),
                                 QStringLiteral("SELECT payload_filename FROM clips WHERE id = %1").arg(first.id))
                                 .value(0);
    QFile::remove(fixture.folder.payloadFolder() + u'/' + fileName);
    EXPECT_EQ(result(fixture.repository.rowPresentation(first)), row);

    // A changed record (starred) misses the cache.
    Clip starred = first;
    starred.isFavorite = true;
    EXPECT_ANY_THROW(result(fixture.repository.rowPresentation(starred)));

    // 64 more computations push the first one out, however often it was asked for.
    for (int i = 0; i < 64; ++i)
        result(fixture.repository.rowPresentation(clips[i]));
    EXPECT_ANY_THROW(result(fixture.repository.rowPresentation(first)));
}

TEST(HistoryRepository, RecordsWithoutPayloadFilesCopyBackAsTextOrFailClearly)
{
    RepositoryFixture fixture;
    fixture.insert(QStringLiteral("seed"));
    executeSQL(fixture.folder.databasePath(),
               QStringLiteral("INSERT INTO clips(text, created_at, search_text) VALUES ('from an old version', 1, "
                              "'from an old version');"
                              "INSERT INTO clips(text, created_at, search_text, kind) VALUES ('Изображение', 1, "
                              "'изображение', 'image');"));
    const QList<Clip> clips = fixture.clips();
    EXPECT_EQ(
        result(fixture.repository.payload(clips[1])),
        (ClipPayload{{ClipItem{{{QStringLiteral("public.utf8-plain-text"), "from an old version"}}}}, std::nullopt}));
    EXPECT_THROW(result(fixture.repository.payload(clips[0])), StorageError);

    wait(fixture.repository.deleteClip(clips[2].id));
    try {
        result(fixture.repository.payload(clips[2]));
        FAIL() << "a deleted record loaded";
    } catch (const ClipboardReadError& error) {
        EXPECT_EQ(error.localizedDescription(), QStringLiteral("This record has already been deleted from history."));
    }
}

TEST(HistoryRepository, ADamagedRecordCostsOnlyItsOwnRow)
{
    RepositoryFixture fixture;
    for (int i = 0; i < 6; ++i)
        fixture.insert(QStringLiteral("record %1").arg(i));
    const QList<Clip> clips = fixture.clips();
    const QString fileName = queryTexts(
                                 fixture.folder.databasePath(),
                                 QStringLiteral("SELECT payload_filename FROM clips WHERE id = %1").arg(clips[1].id))
                                 .value(0);
    writeFile(fixture.folder.payloadFolder() + u'/' + fileName, "damaged");

    const QHash<qint64, ClipRowPresentation> rows = result(fixture.repository.firstRows(clips));
    EXPECT_EQ(rows.size(), 5);
    EXPECT_FALSE(rows.contains(clips[1].id));
    EXPECT_THROW(result(fixture.repository.rowPresentation(clips[1])), StorageError) << "the row itself reports it";
}

namespace {

// The digest of an image record, written out from the stored format's rules: counts as unsigned
// 64-bit big-endian numbers, then the metadata's JSON as a JSON encoder with sorted keys writes
// it, which escapes "/" as "\/" in every string.
QString imageDigest(const QByteArray& png, const QByteArray& thumbnailBase64)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const auto count = [&hash](quint64 value) {
        const quint64 bigEndian = qToBigEndian(value);
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(&bigEndian), 8));
    };
    const QByteArray type = "public.png";
    count(1);
    count(1);
    count(type.size());
    hash.addData(type);
    count(png.size());
    hash.addData(png);
    const QByteArray json = R"({"fileNames":[],"filePaths":[],"pixelHeight":64,"pixelWidth":96,"thumbnail":")"
        + thumbnailBase64 + R"("})";
    hash.addData(QByteArrayView("Tavlin.capture-metadata.v1"));
    count(json.size());
    hash.addData(json);
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace

TEST(HistoryRepository, ImageRecordsCarryTheStoredFormatsDigestAndEarlierDigestsStillLoad)
{
    RepositoryFixture fixture;
    // Noise compresses badly, so the thumbnail's base64 is long enough to hold "/".
    QImage noise(96, 64, QImage::Format_RGB32);
    QRandomGenerator random(23);
    for (int y = 0; y < noise.height(); ++y) {
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, random.generate() | 0xff000000u);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(noise.save(&buffer, "PNG"));
    const ClipPayload payload{{ClipItem{{{QStringLiteral("public.png"), png}}}}, std::nullopt};
    wait(fixture.repository.insert({QStringLiteral("Изображение"), ClipKind::image, payload}, std::nullopt,
                                   HistoryRetention::standard()));

    const Clip clip = fixture.clips().value(0);
    const ClipPayload stored = result(fixture.repository.payload(clip));
    ASSERT_TRUE(stored.metadata && stored.metadata->thumbnail);
    const QByteArray base64 = stored.metadata->thumbnail->toBase64();
    ASSERT_TRUE(base64.contains('/'));
    QByteArray escaped = base64;
    escaped.replace("/", "\\/");
    const QString database = fixture.folder.databasePath();
    EXPECT_EQ(queryTexts(database, QStringLiteral("SELECT payload_digest FROM clips")).value(0),
              imageDigest(png, escaped));

    // A record stored by an earlier build, whose digest covers the thumbnail's "/" bare, is not damaged.
    executeSQL(database, QStringLiteral("UPDATE clips SET payload_digest = '%1'").arg(imageDigest(png, base64)));
    EXPECT_EQ(result(fixture.repository.payload(clip)), stored);
    executeSQL(database, QStringLiteral("UPDATE clips SET payload_digest = '%1'").arg(imageDigest(png, base64 + "A")));
    EXPECT_THROW(result(fixture.repository.payload(clip)), StorageError);
}

// Rows reach the views with their image decoded here, on the repository's thread; a stored
// thumbnail that is damaged, or larger than any this application writes, gives the row no image.
TEST(HistoryRepository, AnImageRowComesWithItsThumbnailDecoded)
{
    RepositoryFixture fixture;
    {
        HistoryStore store(fixture.folder.databasePath());
        const auto storeImage = [&store](const QByteArray& thumbnail) {
            ClipMetadata metadata;
            metadata.thumbnail = thumbnail;
            const ClipPayload payload{{ClipItem{{{QStringLiteral("public.png"), png(512, 256)}}}}, metadata};
            store.insert(payload, StoredPlaceholder::image(), ClipKind::image, std::nullopt, 1000,
                         HistoryStore::maximumStoredPayloadBytes);
        };
        storeImage(png(256, 128).chopped(40));
        storeImage(blackPNG(1025, 8));
        storeImage(blackPNG(1024, 8));
    }
    const ClipPayload copied{{ClipItem{{{QStringLiteral("public.png"), png(512, 256, Qt::darkRed)}}}}, std::nullopt};
    wait(fixture.repository.insert({StoredPlaceholder::image(), ClipKind::image, copied}, std::nullopt,
                                   HistoryRetention::standard()));
    const QList<Clip> clips = fixture.clips();
    ASSERT_EQ(clips.size(), 4);

    const ClipRowPresentation row = result(fixture.repository.rowPresentation(clips[0]));
    EXPECT_EQ(row.image.size(), QSize(256, 128));
    EXPECT_EQ(row.image.pixelColor(10, 10), QColor(Qt::darkRed));
    EXPECT_EQ(result(fixture.repository.rowPresentation(clips[1])).image.size(), QSize(1024, 8));
    EXPECT_TRUE(result(fixture.repository.rowPresentation(clips[2])).image.isNull());
    const ClipRowPresentation damaged = result(fixture.repository.rowPresentation(clips[3]));
    EXPECT_TRUE(damaged.image.isNull());
    EXPECT_EQ(damaged.preview.kind, ClipPreview::Case::image) << "the card keeps the image's place";
}

// A readable history in a folder this user cannot write to (a read-only disk, another owner) is
// shown as it stands, with the reason it cannot change; nothing is written.
TEST(HistoryRepository, AHistoryThatCannotBeWrittenIsShownReadOnly)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to hand the history to another owner";
    TemporaryFolder folder;
    {
        HistoryStore store(folder.databasePath());
        for (const char* text : {"one", "two"})
            store.insert(QString::fromLatin1(text), std::nullopt, 1000, HistoryStore::maximumStoredPayloadBytes);
    }
    folder.giveToUnprivilegedUser();
    const QString history = QFileInfo(folder.databasePath()).absolutePath();
    ASSERT_EQ(runProgram({QStringLiteral("chown"), QStringLiteral("-R"), QStringLiteral("0:0"), history}), 0);
    ASSERT_EQ(runProgram({QStringLiteral("chmod"), QStringLiteral("-R"), QStringLiteral("go+rX"), history}), 0);
    const int status = runAsUnprivilegedUser([&] {
        HistoryRepository repository(folder.databasePath());
        const HistoryRepository::Page page = result(repository.page({}));
        if (page.clips.size() != 2 || !page.readOnlyMessage
            || !page.readOnlyMessage->startsWith(QStringLiteral("The history can’t be changed: ")))
            return 1;
        if (result(repository.payload(page.clips[0])).items.size() != 1)
            return 2;
        const CapturedClipboard capture{QStringLiteral("three"), ClipKind::text, textPayload(QStringLiteral("three"))};
        try {
            wait(repository.insert(capture, std::nullopt, HistoryRetention::standard()));
        } catch (const std::exception&) {
            return result(repository.page({})).clips.size() == 2 ? 0 : 3;
        }
        return 4;
    });
    EXPECT_EQ(status, 0);
}

TEST(HistoryRepository, RichTextRowsKeepASmallRtfPreview)
{
    RepositoryFixture fixture;
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Helvetica;}}{\\colortbl;\\red200\\green0\\blue0;}"
                           "\\f0 Plain {\\b bold} {\\cf1 red}\\par second line}";
    fixture.insert(QStringLiteral("Plain bold red"), ClipKind::richText, {{QStringLiteral("public.rtf"), rtf}});
    QByteArray huge = "{\\rtf1\\ansi " + QByteArray(2'100'000, 'x') + "}";
    fixture.insert(QStringLiteral("huge"), ClipKind::richText, {{QStringLiteral("public.rtf"), huge}});

    const QList<Clip> clips = fixture.clips();
    EXPECT_EQ(result(fixture.repository.rowPresentation(clips[0])).preview, ClipPreview::text())
        << "over 2 MiB of RTF shows as plain text";

    const ClipPreview preview = result(fixture.repository.rowPresentation(clips[1])).preview;
    ASSERT_EQ(preview.kind, ClipPreview::Case::richText);
    EXPECT_EQ(preview.type, QStringLiteral("public.rtf"));
    const std::unique_ptr<QTextDocument> document = RichTextDocument::fromRTF(preview.data);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->toPlainText(), QStringLiteral("Plain bold red\nsecond line"));
    bool sawBold = false;
    bool sawRed = false;
    for (auto it = document->begin().begin(); !it.atEnd(); ++it) {
        const QTextCharFormat format = it.fragment().charFormat();
        sawBold |= it.fragment().text() == QStringLiteral("bold") && format.fontWeight() >= QFont::Bold;
        sawRed |= it.fragment().text() == QStringLiteral("red") && format.foreground().color() == QColor(200, 0, 0);
    }
    EXPECT_TRUE(sawBold);
    EXPECT_TRUE(sawRed);
}

// Quitting waits for no copy: those still waiting and the one being stored are either saved whole
// or logged as not saved, one line each, and nothing half-written stays behind.
TEST(HistoryRepository, StoppedEveryCopyIsSavedWholeOrLoggedAsNotSaved)
{
    TemporaryFolder folder;
    LogCapture log;
    QList<QFuture<void>> stores;
    {
        HistoryRepository repository(folder.databasePath());
        wait(repository.insert({QStringLiteral("before"), ClipKind::text, textPayload(QStringLiteral("before"))},
                               std::nullopt, HistoryRetention::standard()));
        for (int copy = 0; copy < 4; ++copy) {
            CapturedClipboard files{QStringLiteral("20000 files"), ClipKind::file, {}};
            for (int i = 0; i < 20'000; ++i) {
                files.payload.items.append(ClipItem{{{QStringLiteral("public.file-url"),
                                                      "file:///home/user/" + QByteArray::number(copy * 100'000 + i)}}});
            }
            stores.append(repository.insert(files, std::nullopt, HistoryRetention::standard()));
        }
        repository.stop();
        EXPECT_THROW(repository.page({}).waitForFinished(), StorageError);
    }
    int failed = 0;
    for (QFuture<void>& store : stores) {
        try {
            store.waitForFinished();
        } catch (const StorageError&) {
            ++failed;
        }
    }
    // The first may have been saved before the stop; those after it had not begun.
    EXPECT_GE(failed, 3);
    EXPECT_EQ(log.errors().filter(QStringLiteral("A copy was not saved: Tavlin quit")).size(), failed);
    EXPECT_EQ(queryInteger(folder.databasePath(), QStringLiteral("SELECT COUNT(*) FROM clips")), 1 + 4 - failed);
    EXPECT_EQ(queryTexts(folder.databasePath(), QStringLiteral("PRAGMA integrity_check")),
              QStringList{QStringLiteral("ok")});
    const QStringList files = queryTexts(folder.databasePath(), QStringLiteral("SELECT payload_filename FROM clips"));
    const QStringList onDisk = QDir(folder.payloadFolder()).entryList(QDir::Files);
    EXPECT_EQ(QSet<QString>(files.begin(), files.end()), QSet<QString>(onDisk.begin(), onDisk.end()));
}
