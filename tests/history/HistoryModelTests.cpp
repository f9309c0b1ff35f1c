#include "AwaitTask.h"
#include "ClipboardReadError.h"
#include "FakePasteboard.h"
#include "FakeWorkspace.h"
#include "HistoryModel.h"
#include "HistoryStore.h"
#include "ImageSamples.h"
#include "StoreTestSupport.h"

#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "ExpectSoon.h"
#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>
#include <sqlite3.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

// A model on a real store in a temporary folder and an in-memory clipboard.
struct ModelFixture {
    TemporaryFolder folder;
    FakePasteboard pasteboard;
    FakeWorkspace workspace{QStringLiteral("org.gnome.TextEditor")};
    HistoryModel model{folder.databasePath(), pasteboard, workspace};

    void copyText(const QString& text) { pasteboard.setString(text); }

    // Copies each text in turn and lets one tick capture it.
    void capture(const QStringList& texts)
    {
        for (const QString& text : texts) {
            copyText(text);
            QCoro::waitFor(model.monitor().tick());
        }
    }

    // A record large enough that loading and verifying it keeps the repository busy for a while.
    Clip captureLarge()
    {
        pasteboard.setItems(
            {{{QStringLiteral("com.adobe.pdf")}, {{QStringLiteral("com.adobe.pdf"), QByteArray(24 << 20, 'p')}}}});
        QCoro::waitFor(model.monitor().tick());
        return model.browser().clips().first();
    }

    QStringList texts() const
    {
        QStringList list;
        for (const Clip& clip : model.browser().clips())
            list.append(clip.text);
        return list;
    }

    // Another program's connection to the history, holding its write lock until it commits.
    sqlite3* lockedByAnotherProgram() const
    {
        sqlite3* other = nullptr;
        EXPECT_EQ(sqlite3_open(QFile::encodeName(folder.databasePath()).constData(), &other), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        return other;
    }

    std::optional<Clip> clip(const QString& text) const
    {
        for (const Clip& clip : model.browser().clips()) {
            if (clip.text == text)
                return clip;
        }
        return std::nullopt;
    }
};

} // namespace

TEST(HistoryModel, CapturesNewChangesOnceAndNeverWhatWasThereAtLaunch)
{
    TemporaryFolder folder;
    FakePasteboard pasteboard;
    pasteboard.setString(QStringLiteral("there before launch"));
    FakeWorkspace workspace;
    HistoryModel model(folder.databasePath(), pasteboard, workspace);
    QCoro::waitFor(model.monitor().tick());
    QCoro::waitFor(model.browser().reload());
    EXPECT_TRUE(model.browser().clips().isEmpty());

    pasteboard.setString(QStringLiteral("first"));
    QCoro::waitFor(model.monitor().tick());
    QCoro::waitFor(model.monitor().tick());
    ASSERT_EQ(model.browser().clips().size(), 1);
    EXPECT_EQ(model.browser().clips()[0].text, QStringLiteral("first"));
    EXPECT_EQ(model.browser().clips()[0].source, std::nullopt);
    EXPECT_EQ(model.browser().totalCount(), 1);
}

TEST(HistoryModel, ExcludedAndProtectedSourcesAreNeverCaptured)
{
    ModelFixture fixture;
    fixture.model.monitor().updateExcludedSources({QStringLiteral("org.keepassxc.KeePassXC")});

    fixture.workspace.frontmost = QStringLiteral("org.keepassxc.KeePassXC");
    fixture.copyText(QStringLiteral("secret one"));
    QCoro::waitFor(fixture.model.monitor().tick());
    fixture.workspace.frontmost = QStringLiteral("org.gnome.TextEditor");
    QCoro::waitFor(fixture.model.monitor().tick());

    fixture.workspace.frontmost = QStringLiteral("com.bitwarden.desktop");
    fixture.copyText(QStringLiteral("secret two"));
    QCoro::waitFor(fixture.model.monitor().tick());

    // Concealed content from an ordinary application.
    fixture.workspace.frontmost = QStringLiteral("org.gnome.TextEditor");
    fixture.pasteboard.setItems(
        {{{QStringLiteral("public.utf8-plain-text"), QStringLiteral("org.nspasteboard.ConcealedType")},
          {{QStringLiteral("public.utf8-plain-text"), "hunter2"},
           {QStringLiteral("org.nspasteboard.ConcealedType"), "secret"}}}});
    QCoro::waitFor(fixture.model.monitor().tick());

    fixture.capture({QStringLiteral("plain")});
    EXPECT_EQ(fixture.texts(), QStringList{QStringLiteral("plain")});
    ASSERT_EQ(fixture.model.browser().clips().size(), 1);
    EXPECT_EQ(fixture.model.browser().clips()[0].source, QStringLiteral("org.gnome.TextEditor"));
}

TEST(HistoryModel, ReadErrorsAndStoreErrorsArePublishedAndClearedByTheNextReload)
{
    ModelFixture fixture;
    fixture.pasteboard.setItems(
        {{{QStringLiteral("public.png")}, {{QStringLiteral("public.png"), QByteArray(40 << 20, 'x')}}}});
    QCoro::waitFor(fixture.model.monitor().tick());
    ASSERT_TRUE(fixture.model.browser().errorMessage().has_value());
    EXPECT_EQ(*fixture.model.browser().errorMessage(),
              QStringLiteral("The record is larger than 32 MB and wasn’t saved."));
    EXPECT_EQ(fixture.model.browser().totalCount(), 0);

    fixture.capture({QStringLiteral("fine")});
    EXPECT_EQ(fixture.model.browser().errorMessage(), std::nullopt);

    // A store that cannot open: the page stays as it was and the message says so.
    fixture.folder.giveToUnprivilegedUser();
    const QString blocked = fixture.folder.path() + QStringLiteral("/blocked");
    writeFile(blocked, "a file where a folder should be");
    FakePasteboard pasteboard;
    HistoryModel broken(blocked + QStringLiteral("/history.sqlite"), pasteboard, fixture.workspace);
    QCoro::waitFor(broken.browser().reload());
    ASSERT_TRUE(broken.browser().errorMessage().has_value());
    EXPECT_TRUE(broken.browser().errorMessage()->contains(QStringLiteral("blocked")));
}

TEST(HistoryModel, StaleReloadsAndPreviewsAreDropped)
{
    ModelFixture fixture;
    fixture.capture({QStringLiteral("apple"), QStringLiteral("banana"), QStringLiteral("cherry")});
    const Clip large = fixture.captureLarge();

    // Work queued behind a slow copy is still pending when its caller awaits it, so the order of
    // the answers is the order of the questions.
    QSignalSpy clipsChanged(&fixture.model.browser(), &HistoryBrowser::clipsChanged);
    auto busy = fixture.model.operations().copy(large);
    fixture.model.browser().setQuery(QStringLiteral("apple"));
    auto first = fixture.model.browser().reload();
    fixture.model.browser().setQuery(QStringLiteral("banana"));
    auto second = fixture.model.browser().reload();
    QCoro::waitFor(first);
    QCoro::waitFor(second);
    QCoro::waitFor(busy);
    EXPECT_EQ(fixture.texts(), QStringList{QStringLiteral("banana")});
    EXPECT_EQ(clipsChanged.count(), 1) << "the stale page was never published";
    EXPECT_EQ(fixture.model.browser().matchedCount(), 1);
    EXPECT_EQ(fixture.model.browser().totalCount(), 4);

    fixture.model.browser().setQuery(QString());
    QCoro::waitFor(fixture.model.browser().reload());
    const Clip apple = *fixture.clip(QStringLiteral("apple"));
    const Clip cherry = *fixture.clip(QStringLiteral("cherry"));
    QSignalSpy metadataChanged(&fixture.model.browser(), &HistoryBrowser::selectedMetadataChanged);
    busy = fixture.model.operations().copy(large);
    auto previewA = fixture.model.browser().loadPreview(apple);
    auto previewC = fixture.model.browser().loadPreview(cherry);
    QCoro::waitFor(previewA);
    QCoro::waitFor(previewC);
    QCoro::waitFor(busy);
    ASSERT_TRUE(fixture.model.browser().selectedMetadata().has_value());
    EXPECT_EQ(fixture.model.browser().selectedMetadata()->characterCount, 6) << "cherry's metadata, not apple's";
    EXPECT_EQ(metadataChanged.count(), 1);

    QCoro::waitFor(fixture.model.browser().loadPreview(std::nullopt));
    EXPECT_EQ(fixture.model.browser().selectedMetadata(), std::nullopt);
    EXPECT_EQ(fixture.model.browser().previewContent(), ClipPreview::text());
}

// The preview panel decodes nothing: an image's preview, reduced to at most 1024 pixels, and an
// image file's, its row's thumbnail, come decoded with the content, and the next one drops them.
TEST(HistoryModel, AnImagePreviewArrivesDecodedWithItsContent)
{
    ModelFixture fixture;
    const QString png = QStringLiteral("public.png");
    fixture.pasteboard.setItems({{{png}, {{png, test::png(2048, 512, Qt::darkRed)}}}});
    QCoro::waitFor(fixture.model.monitor().tick());
    const QString picture = fixture.folder.path() + QStringLiteral("/picture.png");
    ASSERT_TRUE(QImage::fromData(test::png(600, 300, Qt::darkBlue)).save(picture));
    const QString fileURL = QStringLiteral("public.file-url");
    fixture.pasteboard.setItems({{{fileURL}, {{fileURL, QUrl::fromLocalFile(picture).toEncoded()}}}});
    QCoro::waitFor(fixture.model.monitor().tick());
    fixture.capture({QStringLiteral("a note")});
    const QList<Clip> clips = fixture.model.browser().clips();
    ASSERT_EQ(clips.size(), 3);

    HistoryBrowser& browser = fixture.model.browser();
    QList<QImage> published;
    QObject::connect(&browser, &HistoryBrowser::previewContentChanged,
                     [&] { published.append(browser.previewImage()); });
    QCoro::waitFor(browser.loadPreview(clips[2]));
    EXPECT_EQ(browser.previewContent().kind, ClipPreview::Case::image);
    EXPECT_EQ(browser.previewImage().size(), QSize(1024, 256));
    EXPECT_EQ(browser.previewImage().pixel(4, 4), QColor(Qt::darkRed).rgb());
    ASSERT_FALSE(published.isEmpty());
    EXPECT_EQ(published.last().size(), QSize(1024, 256)) << "the image is there when the content is published";

    QCoro::waitFor(browser.loadPreview(clips[1]));
    EXPECT_EQ(browser.previewImage().size(), QSize(256, 128));
    EXPECT_EQ(browser.previewImage().pixel(4, 4), QColor(Qt::darkBlue).rgb());

    QCoro::waitFor(browser.loadPreview(clips[0]));
    EXPECT_EQ(browser.previewContent(), ClipPreview::text());
    EXPECT_TRUE(browser.previewImage().isNull());
}

// The store hands a deleted newest record's id to the next copy: when that copy is listed, the
// views never get the deleted record's row (its image) for it, not even until the new row is made.
TEST(HistoryModel, AnIDGivenToAnotherRecordComesWithoutTheOldRecordsRow)
{
    ModelFixture fixture;
    fixture.capture({QStringLiteral("a note")});
    const QString png = QStringLiteral("public.png");
    fixture.pasteboard.setItems({{{png}, {{png, test::png(64, 32)}}}});
    QCoro::waitFor(fixture.model.monitor().tick());
    HistoryBrowser& browser = fixture.model.browser();
    const qint64 id = browser.clips().first().id;
    ASSERT_EQ(browser.rowPresentations().value(id).preview.kind, ClipPreview::Case::image);

    HistoryStore(fixture.folder.databasePath()).deleteClip(id);
    std::optional<ClipRowPresentation> listedWith;
    QObject::connect(&browser, &HistoryBrowser::clipsChanged, [&] {
        if (browser.rowPresentations().contains(id))
            listedWith = browser.rowPresentations().value(id);
    });
    fixture.capture({QStringLiteral("another note")});
    ASSERT_EQ(browser.clips().first().id, id);
    EXPECT_FALSE(listedWith) << "the deleted image's row came with the new record";
    EXPECT_EQ(browser.rowPresentations().value(id).preview.kind, ClipPreview::Case::text);
}

TEST(HistoryModel, FiltersBuildTheRequestAndToggleSourcesAsASet)
{
    ModelFixture fixture;
    HistoryModel& model = fixture.model;
    model.browser().setSection(HistorySection::favorites);
    model.browser().setKindFilter(HistoryKindFilter::files);
    EXPECT_EQ(model.browser().request(), (HistoryQuery{QString(), true, {ClipKind::file, ClipKind::other}, {}}));
    EXPECT_TRUE(model.browser().hasFilters());
    model.browser().resetFilters();
    EXPECT_EQ(model.browser().section(), HistorySection::favorites);
    EXPECT_FALSE(model.browser().hasFilters());
    model.browser().setQuery(QStringLiteral("   "));
    EXPECT_TRUE(model.browser().hasFilters());
    model.browser().setQuery(QString());

    const QString x = QStringLiteral("org.x");
    const QString y = QStringLiteral("org.y");
    model.browser().toggleSource(x);
    EXPECT_EQ(model.browser().sourceFilter(), ClipSourceFilter::selection({x}, false));
    model.browser().toggleSource(x);
    EXPECT_EQ(model.browser().sourceFilter(), ClipSourceFilter::all());
    model.browser().toggleSource(std::nullopt);
    EXPECT_EQ(model.browser().sourceFilter(), ClipSourceFilter::selection({}, true));
    EXPECT_TRUE(model.browser().hasFilters());
    model.browser().setSourceFilter(ClipSourceFilter::unknown());
    model.browser().toggleSource(std::nullopt);
    EXPECT_EQ(model.browser().sourceFilter(), ClipSourceFilter::all());
    model.browser().setSourceFilter(ClipSourceFilter::application(x));
    model.browser().toggleSource(y);
    EXPECT_EQ(model.browser().sourceFilter(), ClipSourceFilter::selection({x, y}, false));
}

TEST(HistoryModel, CopyBackRestoresExactlyAndIsNeverCapturedAgain)
{
    ModelFixture fixture;
    const QList<FakePasteboard::Item> rich{
        {{QStringLiteral("public.html"), QStringLiteral("public.utf8-plain-text")},
         {{QStringLiteral("public.html"), "<b>bold</b>"}, {QStringLiteral("public.utf8-plain-text"), "bold"}}}};
    fixture.pasteboard.setItems(rich);
    QCoro::waitFor(fixture.model.monitor().tick());
    fixture.capture({QStringLiteral("later")});
    const Clip bold = *fixture.clip(QStringLiteral("bold"));
    EXPECT_EQ(bold.kind, ClipKind::richText);

    EXPECT_TRUE(QCoro::waitFor(fixture.model.operations().copy(bold)));
    const QList<ClipItem> restored = fixture.pasteboard.clipItems();
    ASSERT_EQ(restored.size(), 1);
    EXPECT_EQ(restored[0].representations.size(), 2);
    EXPECT_EQ(restored[0].representations[0].data, QByteArray("<b>bold</b>"));
    QCoro::waitFor(fixture.model.monitor().tick());
    QCoro::waitFor(fixture.model.browser().reload());
    EXPECT_EQ(fixture.model.browser().totalCount(), 2) << "our own write is not a new record";

    // A refused write is reported, and still not captured.
    fixture.pasteboard.refuseWrites = true;
    EXPECT_FALSE(QCoro::waitFor(fixture.model.operations().copy(bold)));
    EXPECT_EQ(fixture.model.browser().errorMessage(), QStringLiteral("Could not write the data to the clipboard."));
    fixture.pasteboard.refuseWrites = false;

    // A condition that no longer holds gives up silently and leaves the clipboard alone.
    const int writes = fixture.pasteboard.writeCount();
    EXPECT_FALSE(QCoro::waitFor(fixture.model.operations().copy(bold, [] { return false; })));
    EXPECT_EQ(fixture.pasteboard.writeCount(), writes);
}

TEST(HistoryModel, ACopyBackWhileASlowOwnerIsReadKeepsOnlyWhatCameBeforeIt)
{
    using namespace std::chrono_literals;
    ModelFixture fixture;
    fixture.capture({QStringLiteral("earlier")});
    fixture.pasteboard.answerDelay = 200ms;
    fixture.pasteboard.setItems(
        {{{QStringLiteral("public.html"), QStringLiteral("public.utf8-plain-text")},
          {{QStringLiteral("public.html"), "<b>slow</b>"}, {QStringLiteral("public.utf8-plain-text"), "slow"}}}});
    const qsizetype requestsBefore = fixture.pasteboard.dataRequests().size();
    auto tick = fixture.model.monitor().tick();
    // The text is in and the HTML asked for when the user copies a record back.
    ASSERT_TRUE(QTest::qWaitFor([&] { return fixture.pasteboard.dataRequests().size() >= requestsBefore + 2; }, 10000));
    ASSERT_TRUE(fixture.pasteboard.writeItems({ClipItem{{{QStringLiteral("public.utf8-plain-text"), "earlier"}}}}));
    fixture.model.monitor().ignoreCurrentPasteboard();
    QCoro::waitFor(std::move(tick));
    QCoro::waitFor(fixture.model.browser().reload());
    // The copy back is never captured; the copy it replaced keeps the text it gave whole.
    EXPECT_EQ(fixture.texts(), (QStringList{QStringLiteral("slow"), QStringLiteral("earlier")}));
    EXPECT_EQ(fixture.clip(QStringLiteral("slow"))->kind, ClipKind::text);
}

TEST(HistoryModel, CopiesGiveWayToNewerWork)
{
    ModelFixture fixture;
    const Clip large = fixture.captureLarge();
    fixture.capture({QStringLiteral("two")});
    const Clip two = *fixture.clip(QStringLiteral("two"));
    ASSERT_EQ(large.kind, ClipKind::other);
    const int writes = fixture.pasteboard.writeCount();

    // Another application copies while the payload loads.
    auto copy = fixture.model.operations().copy(large);
    fixture.copyText(QStringLiteral("someone else's"));
    EXPECT_FALSE(await(std::move(copy)));
    EXPECT_EQ(fixture.model.browser().errorMessage(), QStringLiteral("The clipboard changed. Copy the record again."));
    EXPECT_EQ(fixture.pasteboard.string(QStringLiteral("public.utf8-plain-text")), QStringLiteral("someone else's"));

    // A later copy or a delete makes an earlier copy stale.
    auto earlier = fixture.model.operations().copy(large);
    auto later = fixture.model.operations().copy(two);
    EXPECT_FALSE(await(std::move(earlier)));
    EXPECT_TRUE(await(std::move(later)));
    auto stale = fixture.model.operations().copy(large);
    auto removal = fixture.model.operations().deleteClip(two);
    EXPECT_FALSE(await(std::move(stale)));
    await(std::move(removal));
    EXPECT_EQ(fixture.pasteboard.writeCount(), writes + 1);
    EXPECT_EQ(fixture.model.browser().clips().size(), 1);

    // A record deleted meanwhile.
    EXPECT_FALSE(await(fixture.model.operations().copy(two)));
    EXPECT_EQ(fixture.model.browser().errorMessage(),
              QStringLiteral("This record has already been deleted from history."));
}

TEST(HistoryModel, FavoritesClearAndRetentionReloadAndBumpThePreviewRevision)
{
    ModelFixture fixture;
    QStringList texts;
    for (int i = 0; i < 105; ++i)
        texts.append(QStringLiteral("record %1").arg(i));
    fixture.capture(texts);
    QCoro::waitFor(fixture.model.operations().setFavorite(*fixture.clip(QStringLiteral("record 0")), true));
    EXPECT_EQ(fixture.model.browser().favoriteCount(), 1);

    // Nothing to evict: no reload, no revision.
    QSignalSpy revisions(&fixture.model.browser(), &HistoryBrowser::previewRevisionChanged);
    QSignalSpy changes(&fixture.model.browser(), &HistoryBrowser::historyChanges);
    QCoro::waitFor(fixture.model.operations().applyRetention({1000, 128 * HistoryRetention::mebibyte}, 0));
    EXPECT_EQ(revisions.count(), 0);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(fixture.model.monitor().retention(), (HistoryRetention{1000, 128 * HistoryRetention::mebibyte}));

    EXPECT_THROW(await(fixture.model.operations().applyRetention({100, 128 * HistoryRetention::mebibyte}, 0)),
                 RetentionImpactChanged);
    const RetentionImpact impact = QCoro::waitFor(
        fixture.model.operations().applyRetention({100, 128 * HistoryRetention::mebibyte}, 5));
    EXPECT_EQ(impact.evictedCount, 5);
    EXPECT_EQ(fixture.model.browser().totalCount(), 100);
    EXPECT_EQ(revisions.count(), 1);
    EXPECT_TRUE(fixture.clip(QStringLiteral("record 0")).has_value()) << "the favorite stays";

    // The applied limits win over what later inserts pass.
    fixture.model.monitor().setRetention(HistoryRetention::standard());
    fixture.capture({QStringLiteral("one more")});
    EXPECT_EQ(fixture.model.browser().totalCount(), 100);

    QCoro::waitFor(fixture.model.operations().clear(true));
    EXPECT_EQ(fixture.texts(), QStringList{QStringLiteral("record 0")});
    EXPECT_EQ(revisions.count(), 2);
}

TEST(HistoryModel, MonitoringPollsSkipsWhileSuspendedAndEndsWhenReplaced)
{
    ModelFixture fixture;
    auto loop = fixture.model.monitor().runMonitoring();
    fixture.copyText(QStringLiteral("polled"));
    EXPECT_SOON_EQ(fixture.model.browser().totalCount(), 1, 10000);

    // While suspended, a newer loop takes over and passes its first poll without capturing; the
    // older loop ends after its current sleep.
    fixture.model.monitor().setMonitoringSuspended(true);
    fixture.copyText(QStringLiteral("while asleep 1"));
    fixture.copyText(QStringLiteral("while asleep 2"));
    auto newer = fixture.model.monitor().runMonitoring();
    EXPECT_SOON(loop.isReady(), 10000);
    EXPECT_EQ(fixture.model.browser().totalCount(), 1);
    fixture.model.monitor().setMonitoringSuspended(false);
    EXPECT_SOON_EQ(fixture.model.browser().totalCount(), 2, 10000);
    EXPECT_EQ(fixture.texts().first(), QStringLiteral("while asleep 2"));

    EXPECT_FALSE(newer.isReady());
    fixture.model.monitor().stopMonitoring();
    EXPECT_SOON(newer.isReady(), 10000);
}

// Quitting destroys the monitor with its loop asleep between ticks: the loop ends there and
// then, not at a wake-up that no event loop would deliver any more.
TEST(HistoryModel, MonitoringEndsWithItsMonitor)
{
    TemporaryFolder folder;
    FakePasteboard pasteboard;
    FakeWorkspace workspace{QStringLiteral("org.gnome.TextEditor")};
    auto model = std::make_unique<HistoryModel>(folder.databasePath(), pasteboard, workspace);
    QCoro::Task<> loop = model->monitor().runMonitoring();
    pasteboard.setString(QStringLiteral("polled"));
    // The stored copy's row comes last in the tick that stored it; the loop then sleeps.
    QSignalSpy rows(&model->browser(), &HistoryBrowser::rowPresentationsChanged);
    EXPECT_SOON(!rows.isEmpty(), 10000);
    model.reset();
    EXPECT_TRUE(loop.isReady());
}

// The page shown after a store loads beside the monitoring loop. Here the reload after "second"
// waits behind changes that wait in turn for another program's lock (a big copy's row being read
// back is the usual cause): the loop still looks at the clipboard at its next tick, and "third"
// is read then rather than once the page has loaded.
TEST(HistoryModel, MonitoringLooksAgainWhileTheStoredPageStillLoads)
{
    ModelFixture fixture;
    fixture.capture({QStringLiteral("first")});
    const Clip first = fixture.model.browser().clips().first();
    const int looks = fixture.pasteboard.changeCountReads();
    auto loop = fixture.model.monitor().runMonitoring();
    // Its first look comes after the page it loads at the start.
    EXPECT_SOON(fixture.pasteboard.changeCountReads() > looks, 10000);

    sqlite3* other = nullptr;
    std::vector<QCoro::Task<>> heldUp;
    const auto holdUp = QObject::connect(&fixture.model.browser(), &HistoryBrowser::historyChanges, [&] {
        if (other)
            return;
        other = fixture.lockedByAnotherProgram();
        // Each waits the store's full lock time, one after another, with the page queued behind.
        for (int turn = 0; turn < 3; ++turn)
            heldUp.push_back(fixture.model.operations().setFavorite(first, turn % 2 == 0));
    });
    fixture.copyText(QStringLiteral("second"));
    EXPECT_SOON(other != nullptr, 10000);
    QObject::disconnect(holdUp);

    const qsizetype requests = fixture.pasteboard.dataRequests().size();
    fixture.copyText(QStringLiteral("third"));
    // Without the page: the changes ahead of it hold the store for six seconds.
    EXPECT_SOON(fixture.pasteboard.dataRequests().size() > requests, 4000);

    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    for (auto& task : heldUp)
        QCoro::waitFor(std::move(task));
    EXPECT_SOON(fixture.texts().value(0) == QStringLiteral("third"), 10000);
    EXPECT_EQ(fixture.texts(),
              (QStringList{QStringLiteral("third"), QStringLiteral("second"), QStringLiteral("first")}));
    fixture.model.monitor().stopMonitoring();
    EXPECT_SOON(loop.isReady(), 10000);
}

// Copies made while one is being stored are read at their ticks and wait their turn behind it:
// none is replaced unseen by the next. Here the history's thread is held up by changes waiting
// for another program's lock, and the first copy's store waits behind them.
TEST(HistoryModel, CopiesMadeWhileOneIsStoredAreAllStoredInOrder)
{
    ModelFixture fixture;
    fixture.capture({QStringLiteral("opens the store")});
    const Clip opening = fixture.model.browser().clips().first();
    const int looks = fixture.pasteboard.changeCountReads();
    auto loop = fixture.model.monitor().runMonitoring();
    // Its first look comes after the page it loads at the start.
    EXPECT_SOON(fixture.pasteboard.changeCountReads() > looks, 10000);
    sqlite3* other = fixture.lockedByAnotherProgram();
    std::vector<QCoro::Task<>> heldUp;
    for (int turn = 0; turn < 4; ++turn)
        heldUp.push_back(fixture.model.operations().setFavorite(opening, turn % 2 == 0));

    const QStringList copies{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")};
    for (const QString& text : copies) {
        SCOPED_TRACE(text.toStdString());
        const qsizetype requests = fixture.pasteboard.dataRequests().size();
        fixture.copyText(text);
        EXPECT_SOON(fixture.pasteboard.dataRequests().size() > requests, 4000);
    }
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    for (auto& task : heldUp)
        QCoro::waitFor(std::move(task));
    EXPECT_SOON(fixture.texts().size() == 4, 10000);
    EXPECT_EQ(fixture.texts(), (QStringList{copies[2], copies[1], copies[0], QStringLiteral("opens the store")}));
    fixture.model.monitor().stopMonitoring();
    EXPECT_SOON(loop.isReady(), 10000);
}

// The store works on its own thread: a store operation held up by another process's lock must
// not hold up the main thread's event loop. Here only that loop can end the wait: its timer
// releases the lock once it has ticked a few times while the favorite was pending. Were the
// store run on the main thread, no tick would come, and the change would fail when SQLite gave
// up waiting. (How long the main thread may go without a tick is a figure in bench_model.)
TEST(HistoryModel, ASlowStoreNeverBlocksTheMainThread)
{
    ModelFixture fixture;
    fixture.capture({QStringLiteral("waits for the lock")});
    sqlite3* other = fixture.lockedByAnotherProgram();

    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (++ticks == 10)
            sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
    timer.start(10);
    QCoro::waitFor(fixture.model.operations().setFavorite(fixture.model.browser().clips().first(), true));
    timer.stop();
    sqlite3_close(other);

    EXPECT_GE(ticks, 10);
    EXPECT_EQ(fixture.model.browser().favoriteCount(), 1);
}

// Copies made while another program holds the history are not lost, whatever the clipboard holds
// by the time it is free: each is kept, said so, and stored in the order and with the time it was
// made.
TEST(HistoryModel, CopiesALockedStoreRefusedAreStoredInOrderOnceItIsFree)
{
    ModelFixture fixture;
    fixture.capture({QStringLiteral("opens the store")});
    sqlite3* other = fixture.lockedByAnotherProgram();
    const QStringList whileLocked{QStringLiteral("first while locked"), QStringLiteral("second while locked"),
                                  QStringLiteral("third while locked")};
    fixture.capture(whileLocked);
    const QDateTime copied = QDateTime::currentDateTime();
    EXPECT_EQ(fixture.model.browser().errorMessage(),
              QStringLiteral("Another program is using the history. Your copies are kept and saved as soon as it’s "
                             "free."));
    EXPECT_EQ(fixture.texts(), QStringList{QStringLiteral("opens the store")});
    // The lock is held a while longer than the copies took.
    QTest::qWait(1100);
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    QCoro::waitFor(fixture.model.monitor().tick());
    EXPECT_EQ(fixture.texts(),
              (QStringList{whileLocked[2], whileLocked[1], whileLocked[0], QStringLiteral("opens the store")}));
    const QList<Clip> clips = fixture.model.browser().clips();
    for (qsizetype index = 0; index < 3; ++index) {
        EXPECT_LE(clips[index].createdAt, copied) << clips[index].text.toStdString();
        EXPECT_GE(clips[index].createdAt, clips[index + 1].createdAt) << clips[index].text.toStdString();
    }
    EXPECT_EQ(fixture.model.browser().errorMessage(), std::nullopt);
}

// A change the user makes while another program holds the history names that as the reason.
TEST(HistoryModel, ADeleteUnderAnotherProgramsLockSaysAnotherProgramIsUsingTheHistory)
{
    ModelFixture fixture;
    fixture.capture({QStringLiteral("stays")});
    sqlite3* other = fixture.lockedByAnotherProgram();
    QCoro::waitFor(fixture.model.operations().deleteClip(fixture.model.browser().clips().first()));
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(fixture.model.browser().errorMessage(),
              QStringLiteral("Another program is using the history. Try again in a moment."));
    EXPECT_EQ(fixture.texts(), QStringList{QStringLiteral("stays")});
}

// A delete whose files could not be removed (the payload folder refused) has still deleted the
// rows: the window stops listing them and says what went wrong.
TEST(HistoryModel, ADeleteThatLeftItsFilesIsReportedAndListsWhatIsStored)
{
    ModelFixture fixture;
    fixture.capture({QStringLiteral("kept"), QStringLiteral("deleted")});
    const QString moved = fixture.folder.path() + QStringLiteral("/moved-away");
    ASSERT_TRUE(QFile::rename(fixture.folder.payloadFolder(), moved));
    QCoro::waitFor(fixture.model.operations().deleteClip(*fixture.clip(QStringLiteral("deleted"))));
    EXPECT_EQ(fixture.texts(), QStringList{QStringLiteral("kept")});
    ASSERT_TRUE(fixture.model.browser().errorMessage().has_value());
    EXPECT_TRUE(fixture.model.browser().errorMessage()->contains(QStringLiteral("payloads")));
}
