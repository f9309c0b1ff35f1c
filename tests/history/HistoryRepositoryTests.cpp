#include "AwaitTask.h"
#include "ClipboardReadError.h"
#include "HistoryRepository.h"
#include "RichTextDocument.h"
#include "StorageError.h"
#include "StoreTestSupport.h"

#include <QFile>
#include <QColor>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>

#include <gtest/gtest.h>
#include <qcoro/qcorofuture.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

template<class T>
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
    const QString fileName = queryTexts(fixture.folder.databasePath(),
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
    EXPECT_EQ(result(fixture.repository.payload(clips[1])),
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
    const QString fileName = queryTexts(fixture.folder.databasePath(),
                                        QStringLiteral("SELECT payload_filename FROM clips WHERE id = %1").arg(clips[1].id))
                                 .value(0);
    writeFile(fixture.folder.payloadFolder() + u'/' + fileName, "damaged");

    const QHash<qint64, ClipRowPresentation> rows = result(fixture.repository.firstRows(clips));
    EXPECT_EQ(rows.size(), 5);
    EXPECT_FALSE(rows.contains(clips[1].id));
    EXPECT_THROW(result(fixture.repository.rowPresentation(clips[1])), StorageError) << "the row itself reports it";
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
