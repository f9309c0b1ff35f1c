#include "InMemoryDefaults.h"
#include "OnboardingStore.h"
#include "StoredPreferences.h"
#include "TemporaryFolder.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

TEST(OnboardingStore, DecidesTheFirstLaunchAndMigratesEarlierInstalls)
{
    TemporaryFolder folder;
    const QString history = folder.path() + QStringLiteral("/Tavlin");
    {
        InMemoryDefaults defaults;
        const OnboardingStore store{defaults, history};
        EXPECT_TRUE(store.resolveNeedsFirstLaunch()) << "a missing history folder is a new install";
        QDir().mkpath(history);
        writeFile(history + QStringLiteral("/.hidden"), "x");
        EXPECT_TRUE(store.resolveNeedsFirstLaunch()) << "hidden entries are no sign of use";
        writeFile(history + QStringLiteral("/instance.lock"), "");
        const OnboardingStore locked{defaults, history, {QStringLiteral("instance.lock")}};
        EXPECT_TRUE(locked.resolveNeedsFirstLaunch()) << "the running instance's own lock is no sign of use";
        EXPECT_TRUE(defaults.writtenKeys().isEmpty());
    }
    {
        InMemoryDefaults defaults({{QStringLiteral("quickPanel.shortcut"), QByteArray("{}")}});
        const OnboardingStore store{defaults, folder.path() + QStringLiteral("/missing")};
        EXPECT_FALSE(store.resolveNeedsFirstLaunch());
        EXPECT_EQ(defaults.boolValue(StoredPreferences::onboardingCompleted.key), true);
        EXPECT_EQ(defaults.boolValue(StoredPreferences::onboardingMigrated.key), true);
        EXPECT_FALSE(store.resolveNeedsFirstLaunch());
    }
    {
        writeFile(history + QStringLiteral("/history.sqlite"), "x");
        InMemoryDefaults defaults({{StoredPreferences::onboardingStarted.key, true}});
        const OnboardingStore store{defaults, history};
        EXPECT_TRUE(store.resolveNeedsFirstLaunch()) << "a begun introduction is shown again";
        EXPECT_TRUE(defaults.writtenKeys().isEmpty());
    }
}
