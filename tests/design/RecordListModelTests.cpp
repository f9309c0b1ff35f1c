// The one records model: a new page changes only the rows that differ, and each record's
// presentation is made once and bounded whatever the record's size.
#include "DesignTestSupport.h"
#include "FakeApplicationIconImages.h"
#include "FakeWorkspace.h"
#include "ImageSamples.h"
#include "RecordListModel.h"
#include "SourceApplicationIcon.h"
#include "StoredPlaceholder.h"
#include "TextCharacters.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace tavlin {
namespace {

Clip record(qint64 id, const QString& text, ClipKind kind = ClipKind::text)
{
    Clip clip;
    clip.id = id;
    clip.text = text;
    clip.kind = kind;
    return clip;
}

QList<Clip> records(std::initializer_list<qint64> ids)
{
    QList<Clip> clips;
    for (qint64 id : ids)
        clips.append(record(id, QStringLiteral("record %1").arg(id)));
    return clips;
}

QList<qint64> ids(const RecordListModel& model)
{
    QList<qint64> listed;
    for (const Clip& clip : model.clips())
        listed.append(clip.id);
    return listed;
}

TEST(RecordListModel, ANewPageChangesOnlyTheRowsThatDiffer)
{
    test::FakeWorkspace workspace;
    test::FakeApplicationIconImages icons;
    SourceApplicationIcon sources(workspace, icons);
    RecordListModel model(sources);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setRecords(records({3, 2, 1}));
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    // A capture: one row at the top, nothing else touched.
    model.setRecords(records({4, 3, 2, 1}));
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 0);
    EXPECT_EQ(inserted[0][2].toInt(), 0);
    EXPECT_TRUE(removed.isEmpty() && moved.isEmpty() && changed.isEmpty());

    // The same page again changes nothing.
    model.setRecords(records({4, 3, 2, 1}));
    EXPECT_EQ(inserted.size(), 1);
    EXPECT_TRUE(changed.isEmpty());

    // The oldest falls out, one is starred, two arrive: each row on its own.
    QList<Clip> next = records({6, 5, 4, 3, 2});
    next[3].isFavorite = true;
    model.setRecords(next);
    EXPECT_EQ(ids(model), (QList<qint64>{6, 5, 4, 3, 2}));
    ASSERT_EQ(removed.size(), 1);
    EXPECT_EQ(removed[0][1].toInt(), 3);
    ASSERT_EQ(inserted.size(), 2);
    EXPECT_EQ(inserted[1][2].toInt(), 1) << "the two new rows arrive together";
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex().row(), 3);
    EXPECT_TRUE(model.clip(3)->isFavorite);

    // A record copied again moves to the top; a search that keeps a few drops the rest.
    model.setRecords(records({2, 6, 5, 4, 3}));
    EXPECT_EQ(ids(model), (QList<qint64>{2, 6, 5, 4, 3}));
    EXPECT_EQ(moved.size(), 1);
    model.setRecords(records({5, 3}));
    EXPECT_EQ(ids(model), (QList<qint64>{5, 3}));
    model.setRecords({});
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_TRUE(resets.isEmpty());
}

TEST(RecordListModel, APresentationIsMadeOnceAndFollowsItsStoredRow)
{
    test::FakeWorkspace workspace;
    test::FakeApplicationIconImages icons;
    SourceApplicationIcon sources(workspace, icons);
    RecordListModel model(sources);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    int loads = 0;
    model.setLoader([&](Clip clip) -> QCoro::Task<std::optional<ClipRowPresentation>> {
        ++loads;
        if (clip.id == 2)
            co_return std::nullopt; // a record that cannot be read
        ClipRowPresentation row;
        row.preview = ClipPreview::image(test::png(20, 10));
        row.image = ClipRowPresentation::decodeImage(row.preview.data);
        co_return row;
    });
    model.setRecords(records({2, 1}));
    EXPECT_EQ(model.presentation(1).image.size(), QSize(20, 10));
    const RecordPresentation* made = &model.presentation(1);
    model.presentation(0);
    model.presentation(0);
    EXPECT_EQ(loads, 2) << "each record is loaded once, also when it failed";

    // A capture keeps what the listed records have made.
    model.setRecords(records({3, 2, 1}));
    EXPECT_EQ(&model.presentation(2), made);
    EXPECT_EQ(model.presentation(2).image.size(), QSize(20, 10));

    // A new stored presentation changes that row alone.
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy presented(&model, &RecordListModel::rowPresentationChanged);
    ClipRowPresentation files;
    files.metadata.fileNames = {QStringLiteral("report.pdf")};
    model.setRows({{1, files}});
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex().row(), 2);
    EXPECT_EQ(presented.value(0).value(0).toLongLong(), 1);
    EXPECT_EQ(model.presentation(2).summary, QStringLiteral("report.pdf"));
    EXPECT_TRUE(model.presentation(2).image.isNull());
}

TEST(RecordListModel, AnIDGivenToAnotherRecordShowsNothingOfTheOldOne)
{
    // The store hands a deleted newest record's id to the next copy.
    test::FakeWorkspace workspace;
    test::FakeApplicationIconImages icons;
    SourceApplicationIcon sources(workspace, icons);
    RecordListModel model(sources);
    QList<Clip> loaded;
    model.setLoader([&](Clip clip) -> QCoro::Task<std::optional<ClipRowPresentation>> {
        loaded.append(clip);
        ClipRowPresentation row;
        if (clip.kind == ClipKind::image) {
            row.preview = ClipPreview::image(test::png(20, 10));
            row.image = ClipRowPresentation::decodeImage(row.preview.data);
        }
        co_return row;
    });
    Clip image = record(7, StoredPlaceholder::image(), ClipKind::image);
    model.setRecords({image});
    EXPECT_FALSE(model.presentation(0).image.isNull());

    // Starred, it is the same record: its row stays and nothing is loaded again.
    image.isFavorite = true;
    model.setRecords({image});
    EXPECT_FALSE(model.presentation(0, false).image.isNull());
    EXPECT_EQ(loaded.size(), 1);

    // Another record under the same id has none of the image's row, and its own is asked for.
    const Clip note = record(7, QStringLiteral("a note"));
    model.setRecords({note});
    EXPECT_FALSE(model.storedRow(0));
    EXPECT_TRUE(model.presentation(0, false).image.isNull());
    model.presentation(0);
    ASSERT_EQ(loaded.size(), 2);
    EXPECT_EQ(loaded[1].text, note.text);
    EXPECT_TRUE(model.presentation(0).image.isNull());
}

TEST(RecordPresentation, BigRecordsAreShownByABoundedHead)
{
    // One megabyte on one line.
    const RecordPresentation line = RecordPresentation::of(record(1, QString(1 << 20, QLatin1Char('x'))), std::nullopt);
    EXPECT_EQ(line.text.size(), RecordPresentation::textCharacters);
    EXPECT_EQ(line.title.text.size(), RecordPresentation::titleCharacters);
    EXPECT_EQ(line.summary.size(), RecordPresentation::summaryCharacters);
    EXPECT_EQ(line.tooltip, QString(RecordPresentation::tooltipCharacters, QLatin1Char('x')) + QChar(0x2026));

    // 100,000 short lines: the tooltip keeps its first eight.
    const RecordPresentation lines = RecordPresentation::of(record(2, QStringLiteral("line\n").repeated(100000)),
                                                            std::nullopt);
    EXPECT_EQ(lines.tooltip, QStringLiteral("line\n").repeated(7) + QStringLiteral("line") + QChar(0x2026));
    EXPECT_EQ(lines.summary, QStringLiteral("line"));

    // Cut where the user sees characters end: an emoji with its modifier is one.
    const QString thumbs = QStringLiteral("👍🏽");
    const RecordPresentation emoji = RecordPresentation::of(record(3, thumbs.repeated(10000)), std::nullopt);
    EXPECT_EQ(emoji.summary, thumbs.repeated(RecordPresentation::summaryCharacters));
    const QString name = QString(159, QLatin1Char('a')) + QStringLiteral("😀😀") + QString(1 << 20, QLatin1Char('b'));
    EXPECT_EQ(RecordPresentation::accessibleNameOf(record(4, name, ClipKind::link)),
              QStringLiteral("LINK: ") + QString(159, QLatin1Char('a')) + QStringLiteral("😀"));

    // A short text is its own tooltip.
    EXPECT_EQ(RecordPresentation::tooltipOf(QStringLiteral("short")), QStringLiteral("short"));

    // A megabyte of one character, and one after a word: whatever is shaped of them is cut
    // where the character is cut.
    const QString accents(524286, QChar(0x0301));
    for (const QString& text : {QStringLiteral("e") + accents, QStringLiteral("word e") + accents}) {
        const QString cut = text.left(TextCharacters::prefixLength(text, RecordPresentation::textCharacters));
        ASSERT_LT(cut.size(), 100);
        const RecordPresentation shown = RecordPresentation::of(record(5, text), std::nullopt);
        EXPECT_EQ(shown.text, cut);
        EXPECT_EQ(shown.title.text, cut);
        EXPECT_EQ(shown.summary, cut);
        EXPECT_EQ(shown.tooltip, cut + QChar(0x2026));
        EXPECT_EQ(shown.accessibleName, QStringLiteral("TEXT: ") + cut);
    }

    // In rich text too: the row's title and the card's document end where the character is cut.
    ClipRowPresentation stored;
    stored.preview = ClipPreview::richText("{\\rtf1\\ansi\\uc1 {\\b word} e" + QByteArray("\\u769?").repeated(20000)
                                               + " after\\par}",
                                           QStringLiteral("public.rtf"));
    const QString cut = QStringLiteral("word e") + accents.left(TextCharacters::longestCharacter - 1);
    const RecordPresentation rich = RecordPresentation::of(
        record(6, QStringLiteral("word e") + accents.left(20000), ClipKind::richText), stored);
    EXPECT_EQ(rich.title.text, cut);
    ASSERT_TRUE(rich.rich);
    EXPECT_EQ(rich.rich->toPlainText(), cut);
}

TEST(RecordPresentation, SummariesCodeLinksAndImages)
{
    const auto summary = [](const QString& text) {
        return RecordPresentation::summaryOf(record(1, text), std::nullopt);
    };
    EXPECT_EQ(summary(QStringLiteral("{\n  \"key\": 1\n}")), QStringLiteral("  \"key\": 1"));
    EXPECT_EQ(summary(QStringLiteral(" [ \n\t[")), QStringLiteral(" [ "));
    EXPECT_EQ(summary(QStringLiteral("\n\n  \nletters")), QStringLiteral("  "));
    EXPECT_EQ(summary(QStringLiteral("first\r\nsecond")), QStringLiteral("first"));
    EXPECT_EQ(summary(QStringLiteral("first\u2028second")), QStringLiteral("first"));
    EXPECT_EQ(summary(QStringLiteral("\r\n\u2029")), QString());
    // Placeholders read in the interface language; files by their first name once known.
    EXPECT_EQ(RecordPresentation::summaryOf(record(1, StoredPlaceholder::image(), ClipKind::image), std::nullopt),
              QStringLiteral("Image"));

    // Code: the row's line is the first useful one, coloured; a card gets the coloured head.
    const RecordPresentation code = RecordPresentation::of(record(2, QStringLiteral("{\n  \"key\": 1\n}")),
                                                           std::nullopt);
    EXPECT_TRUE(code.code);
    EXPECT_TRUE(code.title.code);
    EXPECT_EQ(code.title.text, QStringLiteral("  \"key\": 1"));
    EXPECT_FALSE(code.title.runs.isEmpty());
    EXPECT_EQ(code.highlighted.text, QStringLiteral("{\n  \"key\": 1\n}"));

    // Rich text that reads as code: the row's title is its useful line, in its own formats.
    Clip rich = record(4, QStringLiteral("{\n  \"key\": 1\n}"), ClipKind::richText);
    ClipRowPresentation stored;
    stored.preview = ClipPreview::richText("{\\rtf1 \\{\\par   \"key\": 1\\par \\}}", QStringLiteral("public.rtf"));
    const RecordPresentation richCode = RecordPresentation::of(rich, stored);
    ASSERT_TRUE(richCode.richTitle);
    EXPECT_EQ(richCode.richTitle->toPlainText(), QStringLiteral("  \"key\": 1"));
    rich.text = QStringLiteral("{ is how it starts");
    EXPECT_FALSE(RecordPresentation::of(rich, stored).richTitle) << "prose: the row shows the first line";

    const RecordPresentation link = RecordPresentation::of(
        record(3, QStringLiteral("https://example.org/a/b?c=1"), ClipKind::link), std::nullopt);
    EXPECT_EQ(link.linkHost, QStringLiteral("example.org"));
    EXPECT_EQ(link.linkDetail, QStringLiteral("/a/b?c=1"));
}

} // namespace
} // namespace tavlin
