#include "FileSystemError.h"
#include "HistorySection.h"
#include "StoreTestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

struct QueryFixture : StoreFixture {
    void add(const QString& text, ClipKind kind, std::optional<QString> source)
    {
        store->insert(textPayload(text), text, kind, source, 1000, HistoryStore::maximumStoredPayloadBytes);
    }

    QStringList find(const HistoryQuery& query, qint64 limit = 200)
    {
        QStringList texts;
        for (const Clip& clip : store->fetch(limit, query))
            texts.append(clip.text);
        EXPECT_EQ(store->count(query), limit >= 200 ? texts.size() : store->count(query));
        return texts;
    }

    QStringList search(const QString& text) { return find(HistoryQuery{text, false, {}, {}}); }
};

} // namespace

TEST(HistoryStoreQuery, SearchIsFoldedAndLiteral)
{
    QueryFixture fixture;
    fixture.add(QStringLiteral("Café au lait"), ClipKind::text, std::nullopt);
    fixture.add(QStringLiteral("ЁЛКА новогодняя"), ClipKind::text, std::nullopt);
    fixture.add(QStringLiteral("100% sure"), ClipKind::text, std::nullopt);
    fixture.add(QStringLiteral("snake_case"), ClipKind::text, std::nullopt);
    fixture.add(QStringLiteral("1000 things"), ClipKind::text, std::nullopt);

    EXPECT_EQ(fixture.search(QStringLiteral("  CAFE ")), QStringList{QStringLiteral("Café au lait")});
    EXPECT_EQ(fixture.search(QStringLiteral("елка")), QStringList{QStringLiteral("ЁЛКА новогодняя")});
    EXPECT_EQ(fixture.search(QStringLiteral("0%")), QStringList{QStringLiteral("100% sure")});
    EXPECT_EQ(fixture.search(QStringLiteral("e_c")), QStringList{QStringLiteral("snake_case")});
    EXPECT_EQ(fixture.search(QStringLiteral("'; DROP TABLE clips; --")), QStringList{});
    EXPECT_EQ(fixture.search(QStringLiteral(" \n ")).size(), 5);
}

TEST(HistoryStoreQuery, SearchMeetsLettersThatChangeLengthWithCase)
{
    QueryFixture fixture;
    fixture.add(QStringLiteral("Hauptstraße 5"), ClipKind::text, std::nullopt);
    fixture.add(QStringLiteral("ﬁle ﬂow"), ClipKind::text, std::nullopt);
    fixture.add(QStringLiteral("Strasse"), ClipKind::text, std::nullopt);
    const QStringList streets{QStringLiteral("Strasse"), QStringLiteral("Hauptstraße 5")};
    for (const QString& typed : {QStringLiteral("strasse"), QStringLiteral("STRASSE"), QStringLiteral("straße")})
        EXPECT_EQ(fixture.search(typed), streets) << typed.toStdString();
    EXPECT_EQ(fixture.search(QStringLiteral("FILE FLOW")), QStringList{QStringLiteral("ﬁle ﬂow")});

    // A history written by a build that folded "ß" to itself, and kept no folding version, is
    // folded anew when opened; once only, as folding a long text takes a while.
    const QString database = fixture.folder.databasePath();
    const QString oneToOne = QStringLiteral("UPDATE clips SET search_text = 'hauptstraße 5' WHERE id = 1;"
                                            "UPDATE clips SET search_text = 'ﬁle ﬂow' WHERE id = 2;");
    executeSQL(database, oneToOne + QStringLiteral("DROP TABLE search_folding"));
    fixture.reopen();
    EXPECT_EQ(fixture.search(QStringLiteral("straße")), streets);
    EXPECT_EQ(fixture.search(QStringLiteral("file")), QStringList{QStringLiteral("ﬁle ﬂow")});
    const QString searchTexts = QStringLiteral("SELECT search_text FROM clips ORDER BY id");
    EXPECT_EQ(queryTexts(database, searchTexts),
              (QStringList{QStringLiteral("hauptstrasse 5"), QStringLiteral("file flow"), QStringLiteral("strasse")}));
    executeSQL(database, oneToOne);
    fixture.reopen();
    EXPECT_EQ(queryTexts(database, searchTexts),
              (QStringList{QStringLiteral("hauptstraße 5"), QStringLiteral("ﬁle ﬂow"), QStringLiteral("strasse")}));
}

TEST(HistoryStoreQuery, FiltersCombineAndPagesComeNewestFirst)
{
    QueryFixture fixture;
    fixture.add(QStringLiteral("plain"), ClipKind::text, QStringLiteral("org.gnome.gedit"));
    fixture.add(QStringLiteral("styled"), ClipKind::richText, QStringLiteral("org.libreoffice.LibreOffice"));
    fixture.add(QStringLiteral("https://example.org"), ClipKind::link, QStringLiteral("org.mozilla.firefox"));
    fixture.add(QStringLiteral("report.pdf"), ClipKind::other, std::nullopt);
    fixture.add(QStringLiteral("notes.txt"), ClipKind::file, QStringLiteral("org.gnome.Nautilus"));
    const qint64 styled = 2;
    fixture.store->setFavorite(styled, true);
    fixture.store->setFavorite(5, true);

    EXPECT_EQ(fixture.find({QString(), false, kinds(HistoryKindFilter::text), {}}),
              (QStringList{QStringLiteral("styled"), QStringLiteral("plain")}));
    EXPECT_EQ(fixture.find({QString(), true, kinds(HistoryKindFilter::files), {}}),
              QStringList{QStringLiteral("notes.txt")});
    EXPECT_EQ(fixture.find({QString(), false, {}, ClipSourceFilter::unknown()}),
              QStringList{QStringLiteral("report.pdf")});
    EXPECT_EQ(
        fixture.find({QString(),
                      false,
                      {},
                      ClipSourceFilter::selection(
                          {QStringLiteral("org.gnome.gedit"), QStringLiteral("org.mozilla.firefox")}, true)}),
        (QStringList{QStringLiteral("report.pdf"), QStringLiteral("https://example.org"), QStringLiteral("plain")}));
    EXPECT_EQ(fixture.find({QString(), false, {}, ClipSourceFilter::selection({}, true)}),
              QStringList{QStringLiteral("report.pdf")});
    EXPECT_EQ(fixture.find({QString(), false, {}, ClipSourceFilter::selection({}, false)}).size(), 5);
    EXPECT_EQ(
        fixture.find(
            {QStringLiteral("t"), false, {}, ClipSourceFilter::application(QStringLiteral("org.gnome.Nautilus"))}),
        QStringList{QStringLiteral("notes.txt")});
    EXPECT_EQ(fixture.find({QString(), false, {}, {}}, 0), QStringList{QStringLiteral("notes.txt")})
        << "a limit below 1 acts as 1";
    EXPECT_EQ(fixture.find({QString(), false, {}, {}}, 2),
              (QStringList{QStringLiteral("notes.txt"), QStringLiteral("report.pdf")}));

    EXPECT_EQ(fixture.store->summary(), (HistorySummary{5, 2}));
    EXPECT_TRUE(fixture.store->contains(styled));
    EXPECT_FALSE(fixture.store->contains(99));
}

TEST(HistoryStoreQuery, RowsConvertWithUnknownKindsAsOther)
{
    QueryFixture fixture;
    fixture.add(QStringLiteral("x"), ClipKind::text, std::nullopt);
    executeSQL(fixture.folder.databasePath(),
               QStringLiteral("UPDATE clips SET kind = 'hologram', created_at = 1700000000.25"));
    const QList<Clip> clips = fixture.store->fetch(10, QString());
    ASSERT_EQ(clips.size(), 1);
    EXPECT_EQ(clips[0].kind, ClipKind::other);
    EXPECT_EQ(clips[0].source, std::nullopt);
    EXPECT_EQ(clips[0].createdAt.toMSecsSinceEpoch(), 1700000000250);
}

TEST(HistoryStoreQuery, SourcesCountMostFrequentFirstWithUnknownBeforeNamesOnTies)
{
    QueryFixture fixture;
    fixture.add(QStringLiteral("1"), ClipKind::text, QStringLiteral("org.b"));
    fixture.add(QStringLiteral("2"), ClipKind::text, std::nullopt);
    fixture.add(QStringLiteral("3"), ClipKind::text, QStringLiteral("org.a"));
    fixture.add(QStringLiteral("4"), ClipKind::text, QStringLiteral("org.c"));
    fixture.add(QStringLiteral("5"), ClipKind::text, QStringLiteral("org.c"));
    const QList<ClipSourceSummary> expected{
        {QStringLiteral("org.c"), 2}, {std::nullopt, 1}, {QStringLiteral("org.a"), 1}, {QStringLiteral("org.b"), 1}};
    EXPECT_EQ(fixture.store->sources(), expected);
}

TEST(HistoryStoreQuery, DeleteAndClearRemoveRowsAndTheirFiles)
{
    QueryFixture fixture;
    for (const char* text : {"a", "b", "c", "d"})
        fixture.add(QString::fromLatin1(text), ClipKind::text, std::nullopt);
    fixture.store->setFavorite(2, true);
    const QString favoriteFile = fixture.fileNameOf(2);

    fixture.store->deleteClip(4);
    fixture.store->deleteClip(4);
    fixture.store->setFavorite(77, true);
    EXPECT_EQ(fixture.texts(), (QStringList{QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("a")}));
    EXPECT_EQ(payloadFiles(fixture.folder.payloadFolder()).size(), 3);

    // Without AUTOINCREMENT the largest id is reused after its record is gone.
    fixture.store->deleteClip(3);
    fixture.add(QStringLiteral("e"), ClipKind::text, std::nullopt);
    EXPECT_EQ(fixture.newestID(), 3);

    fixture.store->clear(true);
    EXPECT_EQ(fixture.texts(), QStringList{QStringLiteral("b")});
    EXPECT_EQ(payloadFiles(fixture.folder.payloadFolder()), QStringList{favoriteFile});

    fixture.store->clear(false);
    EXPECT_TRUE(fixture.texts().isEmpty());
    EXPECT_TRUE(payloadFiles(fixture.folder.payloadFolder()).isEmpty());
}

// Deleted contents must not stay on disk unnoticed: when the payload folder refuses, the delete
// reports it, and the files go at the next write or clean-up.
TEST(HistoryStoreQuery, FilesADeleteCouldNotRemoveAreReportedAndGoLater)
{
    TemporaryFolder folder;
    const QString payloads = folder.payloadFolder();
    QDir().mkpath(payloads);
    folder.giveToUnprivilegedUser();
    const auto refuse = [&](bool refusing) {
        ::chmod(QFile::encodeName(payloads).constData(), refusing ? 0500 : 0700);
    };
    const int status = runAsUnprivilegedUser([&] {
        HistoryStore store(folder.databasePath());
        for (const char* text : {"one", "two", "three", "four"})
            store.insert(QString::fromLatin1(text), std::nullopt, 1000, HistoryStore::maximumStoredPayloadBytes);
        refuse(true);
        const auto failsWithEACCES = [](const auto& operation) {
            try {
                operation();
            } catch (const FileSystemError& error) {
                return error.errorNumber() == EACCES;
            }
            return false;
        };
        if (!failsWithEACCES([&] { store.deleteClip(4); }) || !failsWithEACCES([&] { store.clear(false); }))
            return 1;
        if (!store.fetch(10, QString()).isEmpty() || payloadFiles(payloads).size() != 4)
            return 2; // the rows went, the files stayed
        refuse(false);
        store.insert(QStringLiteral("five"), std::nullopt, 1000, HistoryStore::maximumStoredPayloadBytes);
        return payloadFiles(payloads).size() == 1 ? 0 : 3;
    });
    EXPECT_EQ(status, 0);
}

// A damaged or hand-edited flag is read as the listing reads it: any non-zero integer is a
// favorite in the counts, the Favorites section and when clearing; a flag that reads as 0 is an
// ordinary record that eviction really removes, never only its payload file.
TEST(HistoryStoreQuery, AnyNonZeroFlagIsAFavoriteEverywhere)
{
    QueryFixture fixture;
    for (const char* text : {"two", "minus one", "garbled", "plain"})
        fixture.add(QString::fromLatin1(text), ClipKind::text, std::nullopt);
    executeSQL(fixture.folder.databasePath(), QStringLiteral("UPDATE clips SET is_favorite = 2 WHERE id = 1"));
    executeSQL(fixture.folder.databasePath(), QStringLiteral("UPDATE clips SET is_favorite = -1 WHERE id = 2"));
    executeSQL(fixture.folder.databasePath(), QStringLiteral("UPDATE clips SET is_favorite = 'x' WHERE id = 3"));

    const QStringList favorites{QStringLiteral("minus one"), QStringLiteral("two")};
    EXPECT_EQ(fixture.find({QString(), true, {}, {}}), favorites);
    EXPECT_EQ(fixture.store->summary(), (HistorySummary{4, 2}));
    QStringList listed;
    for (const Clip& clip : fixture.store->fetch(10, QString()))
        if (clip.isFavorite)
            listed.append(clip.text);
    EXPECT_EQ(listed, favorites);

    fixture.store->insert(textPayload(QStringLiteral("new")), QStringLiteral("new"), ClipKind::text, std::nullopt, 3,
                          HistoryStore::maximumStoredPayloadBytes);
    EXPECT_EQ(fixture.texts(),
              (QStringList{QStringLiteral("new"), QStringLiteral("minus one"), QStringLiteral("two")}));
    EXPECT_EQ(payloadFiles(fixture.folder.payloadFolder()).size(), 3);

    fixture.store->clear(true);
    EXPECT_EQ(fixture.texts(), favorites);
}
