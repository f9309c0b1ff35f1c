#include "CaptureExclusions.h"

#include "FakeWorkspace.h"
#include "InMemoryDefaults.h"
#include "LogCapture.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

const QString key = QStringLiteral("privacy.excludedApplications");
const QString own = QStringLiteral("org.tavlin.Tavlin");

QVariantMap stored(const QStringList& list)
{
    QVariantList values;
    for (const QString& entry : list)
        values.append(entry);
    return {{key, values}};
}

struct Exclusions {
    InMemoryDefaults defaults;
    FakeWorkspace workspace;
    CaptureExclusions exclusions;

    explicit Exclusions(QVariantMap values = {}) : defaults(std::move(values)), exclusions(defaults, workspace, own) { }
};

} // namespace

TEST(CaptureExclusions, ValidIdentifiersAreDottedAsciiOfBoundedLength)
{
    for (const char* valid : {"a.b", "com.example.App", "org.my-app.Tool2", "x.y.z"})
        EXPECT_TRUE(CaptureExclusions::isValidBundleID(QString::fromUtf8(valid))) << valid;
    const QString longest = QString(127, u'a') + u'.' + QString(127, u'b');
    EXPECT_TRUE(CaptureExclusions::isValidBundleID(longest));
    for (const char* invalid : {"", "ab", "a.", ".ab", "a..b", "nodots", "com.exämple.app", "com.example app",
                                "com.example_app", "com.example/app"})
        EXPECT_FALSE(CaptureExclusions::isValidBundleID(QString::fromUtf8(invalid))) << invalid;
    EXPECT_FALSE(CaptureExclusions::isValidBundleID(longest + u'c'));
}

TEST(CaptureExclusions, LoadingDropsBadEntriesWithoutWritingBack)
{
    Exclusions e(stored({"org.keepassxc.KeePassXC", "org.keepassxc.KeePassXC", "word", "com.bitwarden.desktop", own,
                         "org.gnome.Evolution"}));
    EXPECT_EQ(e.exclusions.bundleIDs(), (QStringList{"org.keepassxc.KeePassXC", "org.gnome.Evolution"}));
    EXPECT_EQ(e.defaults.writeCount(key), 0);
    EXPECT_EQ(e.defaults.stringArray(key)->size(), 6);
}

TEST(CaptureExclusions, EntriesOfAnotherKindCostNoOtherExclusion)
{
    {
        LogCapture log;
        Exclusions mixed({{key,
                           QVariantList{QStringLiteral("org.keepassxc.KeePassXC"), 42, QVariantMap{},
                                        QStringLiteral("org.gnome.Evolution")}}});
        EXPECT_EQ(mixed.exclusions.bundleIDs(), (QStringList{"org.keepassxc.KeePassXC", "org.gnome.Evolution"}));
        EXPECT_EQ(log.errors().size(), 1) << log.errors().join(u'\n').toStdString();
        EXPECT_EQ(mixed.defaults.writeCount(key), 0);
    }
    Exclusions single({{key, QStringLiteral("org.keepassxc.KeePassXC")}});
    EXPECT_EQ(single.exclusions.bundleIDs(), QStringList{"org.keepassxc.KeePassXC"});
    LogCapture log;
    Exclusions number({{key, 7}});
    EXPECT_TRUE(number.exclusions.bundleIDs().isEmpty());
    EXPECT_EQ(log.errors().size(), 1);
}

TEST(CaptureExclusions, AddReportsTheFirstReasonAndSavesOnlyWhenAdded)
{
    Exclusions e;
    QSignalSpy published(&e.exclusions, &CaptureExclusions::bundleIDsChanged);

    EXPECT_EQ(e.exclusions.add(QStringLiteral("org.keepassxc.KeePassXC")), CaptureExclusions::AddResult::added);
    EXPECT_EQ(e.exclusions.add(QStringLiteral("org.keepassxc.KeePassXC")), CaptureExclusions::AddResult::duplicate);
    EXPECT_EQ(e.exclusions.add(QStringLiteral("com.apple.Passwords")), CaptureExclusions::AddResult::protectedSource);
    EXPECT_EQ(e.exclusions.add(own), CaptureExclusions::AddResult::ownApplication);
    EXPECT_EQ(e.exclusions.add(QStringLiteral(" org.gnome.Evolution")), CaptureExclusions::AddResult::invalid)
        << "nothing is trimmed";
    EXPECT_EQ(e.exclusions.add(QStringLiteral("org.gnome.Evolution")), CaptureExclusions::AddResult::added);

    const QStringList expected{"org.keepassxc.KeePassXC", "org.gnome.Evolution"};
    EXPECT_EQ(e.exclusions.bundleIDs(), expected);
    EXPECT_EQ(e.defaults.stringArray(key), expected);
    EXPECT_EQ(e.defaults.writeCount(key), 2);
    ASSERT_EQ(published.size(), 2);
    EXPECT_EQ(published.last().first().toStringList(), expected);

    Exclusions anonymous;
    CaptureExclusions withoutOwnID(anonymous.defaults, anonymous.workspace, std::nullopt);
    EXPECT_EQ(withoutOwnID.add(own), CaptureExclusions::AddResult::added);
}

TEST(CaptureExclusions, RemoveDropsEveryCopyAndSavesOnlyWhenListed)
{
    Exclusions e(stored({"org.keepassxc.KeePassXC", "org.gnome.Evolution"}));
    e.exclusions.remove(QStringLiteral("org.example.Missing"));
    EXPECT_EQ(e.defaults.writeCount(key), 0);

    e.exclusions.remove(QStringLiteral("org.keepassxc.KeePassXC"));
    EXPECT_EQ(e.exclusions.bundleIDs(), QStringList{"org.gnome.Evolution"});
    EXPECT_EQ(e.defaults.stringArray(key), QStringList{"org.gnome.Evolution"});
}

TEST(CaptureExclusions, AddsAnApplicationChosenByItsDesktopFile)
{
    Exclusions e;
    e.workspace.install({QStringLiteral("org.keepassxc.KeePassXC"),
                         QStringLiteral("KeePassXC"),
                         {},
                         QStringLiteral("/usr/share/applications/org.keepassxc.KeePassXC.desktop")});
    e.workspace.install({QStringLiteral("com.bitwarden.desktop"),
                         QStringLiteral("Bitwarden"),
                         {},
                         QStringLiteral("/opt/Bitwarden/bitwarden.desktop")});

    EXPECT_EQ(
        e.exclusions.addApplicationAt(QUrl::fromLocalFile("/usr/share/applications/org.keepassxc.KeePassXC.desktop")),
        CaptureExclusions::AddResult::added);
    EXPECT_EQ(e.exclusions.addApplicationAt(QUrl::fromLocalFile("/opt/Bitwarden/bitwarden.desktop")),
              CaptureExclusions::AddResult::protectedSource);
    EXPECT_EQ(e.exclusions.addApplicationAt(QUrl::fromLocalFile("/usr/share/applications/unknown.desktop")),
              CaptureExclusions::AddResult::invalid);
    EXPECT_EQ(
        e.exclusions.addApplicationAt(QUrl::fromLocalFile("/usr/share/applications/org.keepassxc.KeePassXC.DESKTOP")),
        CaptureExclusions::AddResult::invalid)
        << "the extension is case-sensitive";
    EXPECT_EQ(e.exclusions.addApplicationAt(QUrl(QStringLiteral("https://example.com/app.desktop"))),
              CaptureExclusions::AddResult::invalid);
    EXPECT_EQ(e.exclusions.bundleIDs(), QStringList{"org.keepassxc.KeePassXC"});
}
