#include "HostileFiles.h"
#include "LogCapture.h"
#include "PlistDefaults.h"
#include "TemporaryFolder.h"

#include <QDir>
#include <QSignalSpy>

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <clocale>
#include <limits>
#include <string>
#include <sys/stat.h>

namespace tavlin {
namespace {

using test::LogCapture;
using test::TemporaryFolder;

class PlistDefaultsTest : public ::testing::Test {
protected:
    QString folder() const { return temporary.path() + QStringLiteral("/config/Tavlin"); }
    QString path() const { return folder() + QStringLiteral("/org.tavlin.Tavlin.plist"); }
    QStringList folderEntries() const
    {
        return QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    TemporaryFolder temporary;
};

TEST_F(PlistDefaultsTest, MissingFileReadsEmptyAndIsNotCreatedByReading)
{
    LogCapture log;
    PlistDefaults defaults(path());
    EXPECT_TRUE(defaults.dictionaryRepresentation().isEmpty());
    EXPECT_FALSE(defaults.object(QStringLiteral("history.showPreview")).isValid());
    EXPECT_FALSE(QFile::exists(path()));
    EXPECT_TRUE(log.errors().isEmpty());
}

TEST_F(PlistDefaultsTest, EveryKindKeepsItsKindThroughTheFile)
{
    const QByteArray binary("\x00\x01\xff{\"keyCode\":49}", 18);
    QVariantMap nested{{QStringLiteral("flag"), false}, {QStringLiteral("list"), QVariantList{1, QStringLiteral("a")}}};
    {
        PlistDefaults defaults(path());
        defaults.setBool(QStringLiteral("history.showPreview"), false);
        defaults.setBool(QStringLiteral("onboarding.completed"), true);
        defaults.setInteger(QStringLiteral("history.retention.clipCount"), 250);
        defaults.setInteger(QStringLiteral("negative"), -5);
        defaults.setInteger(QStringLiteral("largest"), std::numeric_limits<qint64>::max());
        defaults.setDouble(QStringLiteral("ratio"), 0.1);
        defaults.setString(QStringLiteral("interface.theme"), QStringLiteral("dark — тёмная"));
        defaults.setString(QStringLiteral("empty"), QString());
        defaults.setData(QStringLiteral("quickPanel.shortcut"), binary);
        defaults.setStringArray(QStringLiteral("privacy.excludedApplications"),
                                {QStringLiteral("org.gnome.Nautilus"), QStringLiteral("firefox.desktop")});
        defaults.setDictionary(QStringLiteral("nested"), nested);
    }

    PlistDefaults reloaded(path());
    EXPECT_EQ(reloaded.boolValue(QStringLiteral("history.showPreview")), false);
    EXPECT_EQ(reloaded.boolValue(QStringLiteral("onboarding.completed")), true);
    EXPECT_EQ(reloaded.integer(QStringLiteral("history.retention.clipCount")), 250);
    EXPECT_EQ(reloaded.integer(QStringLiteral("negative")), -5);
    EXPECT_EQ(reloaded.integer(QStringLiteral("largest")), std::numeric_limits<qint64>::max());
    EXPECT_EQ(reloaded.doubleValue(QStringLiteral("ratio")), 0.1);
    EXPECT_EQ(reloaded.string(QStringLiteral("interface.theme")), QStringLiteral("dark — тёмная"));
    EXPECT_EQ(reloaded.string(QStringLiteral("empty")), QString());
    EXPECT_EQ(reloaded.data(QStringLiteral("quickPanel.shortcut")), binary);
    EXPECT_EQ(reloaded.stringArray(QStringLiteral("privacy.excludedApplications")),
              QStringList({QStringLiteral("org.gnome.Nautilus"), QStringLiteral("firefox.desktop")}));
    EXPECT_EQ(reloaded.dictionary(QStringLiteral("nested")), Defaults::normalized(nested).toMap());

    // Kinds are not converted into one another.
    EXPECT_EQ(reloaded.integer(QStringLiteral("onboarding.completed")), std::nullopt);
    EXPECT_EQ(reloaded.boolValue(QStringLiteral("history.retention.clipCount")), std::nullopt);
    EXPECT_EQ(reloaded.string(QStringLiteral("quickPanel.shortcut")), std::nullopt);
    EXPECT_EQ(reloaded.data(QStringLiteral("interface.theme")), std::nullopt);
    EXPECT_EQ(reloaded.stringArray(QStringLiteral("nested")), std::nullopt);
    // A number reads as either number kind.
    EXPECT_EQ(reloaded.doubleValue(QStringLiteral("history.retention.clipCount")), 250.0);
}

// A desktop whose numbers have a decimal comma, as the application takes it from the environment.
TEST_F(PlistDefaultsTest, ARealNumberReadsBackTheSameUnderADecimalComma)
{
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "ru_RU.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma is installed (ru_RU.UTF-8, de_DE.UTF-8)";
    {
        PlistDefaults defaults(path());
        defaults.setDouble(QStringLiteral("ratio"), -2.75);
    }
    const std::optional<double> reloaded = PlistDefaults(path()).doubleValue(QStringLiteral("ratio"));
    std::setlocale(LC_NUMERIC, before.c_str());
    EXPECT_EQ(reloaded, -2.75);
    EXPECT_EQ(PlistDefaults(path()).doubleValue(QStringLiteral("ratio")), -2.75);
}

TEST_F(PlistDefaultsTest, TypedReadsRefuseOtherKindsAndMixedArrays)
{
    PlistDefaults defaults(path());
    defaults.setObject(QStringLiteral("mixed"), QVariantList{QStringLiteral("a"), 1});
    defaults.setDouble(QStringLiteral("fraction"), -2.75);
    defaults.setDouble(QStringLiteral("huge"), 1e300);
    EXPECT_EQ(defaults.stringArray(QStringLiteral("mixed")), std::nullopt);
    EXPECT_EQ(defaults.array(QStringLiteral("mixed"))->size(), 2);
    EXPECT_EQ(defaults.integer(QStringLiteral("fraction")), -2);
    EXPECT_EQ(defaults.integer(QStringLiteral("huge")), std::nullopt);
    EXPECT_EQ(defaults.integer(QStringLiteral("missing")), std::nullopt);
}

TEST_F(PlistDefaultsTest, RemovalAndChangeNotification)
{
    PlistDefaults defaults(path());
    QSignalSpy changes(&defaults, &Defaults::changed);
    defaults.setString(QStringLiteral("settings.reopenAfterRestart"), QStringLiteral("interface"));
    defaults.setString(QStringLiteral("settings.reopenAfterRestart"), QStringLiteral("interface"));
    defaults.removeObject(QStringLiteral("settings.reopenAfterRestart"));
    ASSERT_EQ(changes.size(), 3);
    EXPECT_EQ(changes.at(2).at(0).toString(), QStringLiteral("settings.reopenAfterRestart"));

    PlistDefaults reloaded(path());
    EXPECT_FALSE(reloaded.object(QStringLiteral("settings.reopenAfterRestart")).isValid());
}

TEST_F(PlistDefaultsTest, UnsupportedValueIsRefusedAndLogged)
{
    LogCapture log;
    PlistDefaults defaults(path());
    QSignalSpy changes(&defaults, &Defaults::changed);
    defaults.setObject(QStringLiteral("when"), QDateTime::currentDateTime());
    defaults.setObject(QStringLiteral("list"), QVariantList{QStringLiteral("ok"), QDateTime::currentDateTime()});
    EXPECT_TRUE(defaults.dictionaryRepresentation().isEmpty());
    EXPECT_EQ(changes.size(), 0);
    EXPECT_EQ(log.errors().size(), 2);
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(PlistDefaultsTest, FileIsPrivateAndWrittenWithoutLeftovers)
{
    const mode_t previous = ::umask(0);
    {
        PlistDefaults defaults(path());
        for (int i = 0; i < 5; ++i)
            defaults.setInteger(QStringLiteral("history.retention.clipCount"), i);
    }
    ::umask(previous);
    EXPECT_EQ(test::permissions(path()), 0600u);
    EXPECT_EQ(test::permissions(folder()), 0700u);
    EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("org.tavlin.Tavlin.plist")});

    // An XML property list any plist reader accepts.
    const QByteArray bytes = test::readFile(path());
    EXPECT_TRUE(bytes.startsWith("<?xml"));
    plist_t root = nullptr;
    plist_from_xml(bytes.constData(), static_cast<uint32_t>(bytes.size()), &root);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(plist_get_node_type(root), PLIST_DICT);
    plist_free(root);
}

TEST_F(PlistDefaultsTest, FailedWriteLeavesTheFileAndKeepsTheValueInMemory)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to hand the folder to another user";
    {
        PlistDefaults defaults(path());
        defaults.setString(QStringLiteral("interface.theme"), QStringLiteral("dark"));
    }
    const QByteArray before = test::readFile(path());
    // The file belongs to the user, its folder to someone else: readable, not writable.
    temporary.giveToUnprivilegedUser();
    ASSERT_EQ(::chown(QFile::encodeName(folder()).constData(), 0, 0), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder()).constData(), 0755), 0);
    const int status = test::runAsUnprivilegedUser([&] {
        LogCapture log;
        PlistDefaults defaults(path());
        defaults.setString(QStringLiteral("interface.theme"), QStringLiteral("light"));
        const bool keptInMemory = defaults.string(QStringLiteral("interface.theme")) == QStringLiteral("light");
        return keptInMemory && log.errors().size() == 1 ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(test::readFile(path()), before);
    EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("org.tavlin.Tavlin.plist")});
}

TEST_F(PlistDefaultsTest, DamagedFileIsReportedOnceReadAsEmptyAndMovedAsideBeforeWriting)
{
    QDir().mkpath(folder());
    const QByteArray garbage("<?xml version=\"1.0\"?><plist><dict><key>a</key>");
    test::writeFile(path(), garbage);

    LogCapture log;
    PlistDefaults defaults(path());
    EXPECT_TRUE(defaults.dictionaryRepresentation().isEmpty());
    ASSERT_EQ(log.errors().size(), 1);
    EXPECT_TRUE(log.errors().first().contains(path()));
    // Reading alone touches nothing.
    EXPECT_EQ(test::readFile(path()), garbage);
    EXPECT_FALSE(QFile::exists(path() + QStringLiteral(".damaged")));

    defaults.setBool(QStringLiteral("onboarding.started"), true);
    defaults.setBool(QStringLiteral("onboarding.completed"), true);
    EXPECT_EQ(test::readFile(path() + QStringLiteral(".damaged")), garbage);
    EXPECT_EQ(log.errors().size(), 1);

    PlistDefaults reloaded(path());
    EXPECT_EQ(reloaded.dictionaryRepresentation().keys(),
              QStringList({QStringLiteral("onboarding.completed"), QStringLiteral("onboarding.started")}));
}

// Nested so deep that converting it (or, in binary, parsing it) would overflow the stack.
TEST_F(PlistDefaultsTest, EmptyRootlessOrDeeplyNestedFilesCountAsDamaged)
{
    QDir().mkpath(folder());
    for (const QByteArray& content :
         {QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>a</string></array></plist>"),
          QByteArray(), test::nestedXmlArrays(50'000), test::nestedBinaryArrays(100'001)}) {
        test::writeFile(path(), content);
        LogCapture log;
        PlistDefaults defaults(path());
        EXPECT_TRUE(defaults.dictionaryRepresentation().isEmpty());
        EXPECT_EQ(log.errors().size(), 1);
        defaults.setBool(QStringLiteral("x"), true);
        EXPECT_EQ(test::readFile(path() + QStringLiteral(".damaged")), content);
    }
}

} // namespace
} // namespace tavlin
