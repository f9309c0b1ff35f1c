#include "AwaitTask.h"
#include "FakePasteboard.h"
#include "FakeWorkspace.h"
#include "HistoryModel.h"
#include "InMemoryDefaults.h"
#include "RetentionSettings.h"
#include "StoreTestSupport.h"
#include "StoredPreferences.h"

#include <QPromise>
#include <qcoro/qcorofuture.h>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

constexpr qint64 MiB = HistoryRetention::mebibyte;

struct SettingsFixture {
    TemporaryFolder folder;
    FakePasteboard pasteboard;
    FakeWorkspace workspace;
    HistoryModel model{folder.databasePath(), pasteboard, workspace};
    InMemoryDefaults defaults;
    RetentionSettings settings{defaults, model};

    // Rows straight into the store, favorites first, so the oldest non-favorites are known.
    void fill(int favorites, int others, qint64 bytes = 1000)
    {
        HistoryStore open(folder.databasePath()); // creates the schema
        QString sql = QStringLiteral("BEGIN;");
        for (int i = 0; i < favorites + others; ++i) {
            sql += QStringLiteral("INSERT INTO clips(text, created_at, search_text, kind, payload_bytes, is_favorite) "
                                  "VALUES ('r', 1, 'r', 'image', %1, %2);")
                       .arg(bytes)
                       .arg(i < favorites ? 1 : 0);
        }
        executeSQL(folder.databasePath(), sql + QStringLiteral("COMMIT;"));
    }
};

QCoro::Task<RetentionImpact> measured(QFuture<RetentionImpact> future)
{
    co_return co_await future;
}

} // namespace

TEST(RetentionSettings, LoadsOnlyASupportedPairAndHandsItToTheModel)
{
    EXPECT_EQ(RetentionSettings::load(InMemoryDefaults()), HistoryRetention::standard());
    EXPECT_EQ(RetentionSettings::load(InMemoryDefaults({{StoredPreferences::retentionClipCount.key, qint64(300)},
                                                        {StoredPreferences::retentionPayloadBytes.key, 64 * MiB}})),
              HistoryRetention::standard());
    EXPECT_EQ(RetentionSettings::load(InMemoryDefaults({{StoredPreferences::retentionClipCount.key, qint64(250)}})),
              HistoryRetention::standard())
        << "one missing value resets both";
    EXPECT_EQ(
        RetentionSettings::load(InMemoryDefaults({{StoredPreferences::retentionClipCount.key, QStringLiteral("250")},
                                                  {StoredPreferences::retentionPayloadBytes.key, 64 * MiB}})),
        HistoryRetention::standard());
    EXPECT_EQ(RetentionSettings::load(InMemoryDefaults({{StoredPreferences::retentionClipCount.key, qint64(250)},
                                                        {StoredPreferences::retentionPayloadBytes.key, 64 * MiB}})),
              (HistoryRetention{250, 64 * MiB}));

    TemporaryFolder folder;
    FakePasteboard pasteboard;
    FakeWorkspace workspace;
    HistoryModel model(folder.databasePath(), pasteboard, workspace);
    InMemoryDefaults stored({{StoredPreferences::retentionClipCount.key, qint64(500)},
                             {StoredPreferences::retentionPayloadBytes.key, 128 * MiB}});
    RetentionSettings settings(stored, model);
    EXPECT_EQ(model.monitor().retention(), (HistoryRetention{500, 128 * MiB}));
}

TEST(RetentionSettings, RaisingAppliesAtOnceAndLoweringAsksFirst)
{
    SettingsFixture fixture;
    fixture.fill(2, 120);
    await(fixture.settings.request({1000, 128 * MiB}));
    EXPECT_EQ(fixture.settings.pending(), std::nullopt);
    EXPECT_EQ(fixture.settings.applied(), (HistoryRetention{1000, 128 * MiB}));
    EXPECT_EQ(fixture.defaults.integer(StoredPreferences::retentionPayloadBytes.key), 128 * MiB);
    EXPECT_EQ(fixture.defaults.integer(StoredPreferences::retentionClipCount.key), 1000);

    await(fixture.settings.request({100, 128 * MiB}));
    ASSERT_TRUE(fixture.settings.pending().has_value());
    const RetentionSettings::PendingChange change = *fixture.settings.pending();
    EXPECT_EQ(change.impact.evictedCount, 22);
    EXPECT_EQ(change.impact.evictedBytes, 22'000);
    EXPECT_EQ(fixture.defaults.integer(StoredPreferences::retentionClipCount.key), 1000)
        << "nothing written before the answer";

    // Stored before the deletion starts: a crash during it must not bring the old limit back.
    QCoro::Task<> confirming = fixture.settings.confirm(change);
    EXPECT_EQ(fixture.defaults.integer(StoredPreferences::retentionClipCount.key), 100);
    await(std::move(confirming));
    EXPECT_EQ(fixture.settings.applied(), (HistoryRetention{100, 128 * MiB}));
    EXPECT_EQ(fixture.defaults.integer(StoredPreferences::retentionClipCount.key), 100);
    EXPECT_EQ(fixture.model.browser().totalCount(), 100);
    ASSERT_TRUE(fixture.settings.usage().has_value());
    EXPECT_EQ(fixture.settings.usage()->totalCount, 100);
    EXPECT_FALSE(fixture.settings.isApplying());

    await(fixture.settings.request({99, 128 * MiB}));
    EXPECT_EQ(fixture.settings.errorMessage(), QStringLiteral("Unsupported storage limit."));
}

TEST(RetentionSettings, FavoritesThatDoNotFitExplainWhy)
{
    SettingsFixture fixture;
    fixture.fill(120, 0, 1'048'576);
    await(fixture.settings.request({100, 256 * MiB}));
    EXPECT_EQ(
        fixture.settings.errorMessage(),
        QStringLiteral("Limit not changed: favorites hold 120 records, more than 100. Favorites are never removed "
                       "automatically: remove some records from favorites or choose a larger limit."));
    await(fixture.settings.request({1000, 64 * MiB}));
    EXPECT_EQ(
        fixture.settings.errorMessage(),
        QStringLiteral("Limit not changed: favorites take up 120 MB, more than 64 MB. Favorites are never removed "
                       "automatically: remove some records from favorites or choose a larger limit."));
    EXPECT_EQ(fixture.settings.applied(), HistoryRetention::standard());
    EXPECT_EQ(RetentionSettings::formatBytes(0), QStringLiteral("Zero KB"));
}

TEST(RetentionSettings, AHistoryThatChangedBeforeTheAnswerIsAskedAgain)
{
    SettingsFixture fixture;
    fixture.fill(0, 110);
    await(fixture.settings.request({100, 256 * MiB}));
    const RetentionSettings::PendingChange asked = *fixture.settings.pending();
    EXPECT_EQ(asked.impact.evictedCount, 10);

    fixture.fill(0, 5); // copies made while the dialog was open
    await(fixture.settings.confirm(asked));
    ASSERT_TRUE(fixture.settings.pending().has_value());
    EXPECT_EQ(fixture.settings.pending()->impact.evictedCount, 15);
    EXPECT_EQ(fixture.settings.errorMessage(), std::nullopt);
    EXPECT_EQ(fixture.settings.applied(), HistoryRetention::standard());
    EXPECT_FALSE(fixture.defaults.object(StoredPreferences::retentionClipCount.key).isValid())
        << "the stored limits are put back";

    // Answers to a question that was replaced change nothing.
    fixture.settings.cancel(asked);
    EXPECT_TRUE(fixture.settings.pending().has_value());
    await(fixture.settings.confirm(asked));
    EXPECT_EQ(fixture.settings.applied(), HistoryRetention::standard());

    // Only the newest of two quick requests counts.
    auto first = fixture.settings.request({250, 256 * MiB});
    auto second = fixture.settings.request({100, 256 * MiB});
    await(std::move(first));
    await(std::move(second));
    ASSERT_TRUE(fixture.settings.pending().has_value());
    EXPECT_EQ(fixture.settings.pending()->retention.clipCount, 100);
}

// Each history change starts a refresh; they may finish in any order, and only the newest counts.
TEST(RetentionSettings, AnOlderUsageRefreshFinishingLastIsDropped)
{
    SettingsFixture fixture;
    QList<std::shared_ptr<QPromise<RetentionImpact>>> measurements;
    fixture.settings.setUsageMeasurement([&](HistoryRetention) {
        measurements.append(std::make_shared<QPromise<RetentionImpact>>());
        measurements.last()->start();
        return measured(measurements.last()->future());
    });
    const auto finish = [](QPromise<RetentionImpact>& promise, qint64 count) {
        promise.addResult(RetentionImpact{count, count * 10});
        promise.finish();
    };
    QCoro::Task<> older = fixture.settings.refreshUsage();
    QCoro::Task<> newer = fixture.settings.refreshUsage();
    ASSERT_EQ(measurements.size(), 2);
    finish(*measurements[1], 7);
    await(std::move(newer));
    EXPECT_EQ(fixture.settings.usage()->totalCount, 7);
    finish(*measurements[0], 3);
    await(std::move(older));
    EXPECT_EQ(fixture.settings.usage()->totalCount, 7)
        << "the older measurement is of a history that has changed since";
}
