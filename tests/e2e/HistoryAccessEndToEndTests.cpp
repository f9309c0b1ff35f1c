// The real application with a history it cannot use as usual: one another program holds locked
// for a while, and one its owner made read-only. Nothing copied meanwhile is lost, and the
// records stay in sight.
#include "ApplicationProfile.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <unistd.h>

using namespace tavlin::test;

namespace {

// Serves `text` on the clipboard with the test clipboard owner until something else is copied.
std::unique_ptr<QProcess> copyServing(const QString& text)
{
    auto owner = std::make_unique<QProcess>();
    owner->start(QStringLiteral(TAVLIN_TEST_CLIPBOARD_OWNER),
                 {QStringLiteral("serve"), QStringLiteral("UTF8_STRING=") + text});
    EXPECT_TRUE(owner->waitForReadyRead(10000));
    return owner;
}

QStringList texts(const Profile& profile)
{
    return queryTexts(profile.database, QStringLiteral("SELECT text FROM clips ORDER BY id"));
}

QByteArray clipboard()
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"),
                 QStringLiteral("UTF8_STRING")});
    xclip.waitForFinished(5000);
    return xclip.readAllStandardOutput();
}

// The application as the owner of its profile: as root, that is an unprivileged user, for whom
// file permissions hold.
struct OwnedProfile : Profile {
    OwnedProfile()
    {
        storeKnown();
        folder.giveToUnprivilegedUser();
    }

    std::unique_ptr<QProcess> launchAsOwner() const
    {
        auto process = launchUnprivileged();
        QByteArray log;
        EXPECT_TRUE(waitForMonitoring(*process, log)) << log.toStdString();
        return process;
    }

    QString history() const { return QFileInfo(database).absolutePath(); }

    // The number of records, read as the owner would read them. Read as root, the history would
    // be repaired: root's connection, the last to close, removes the log files whatever their mode.
    int records() const
    {
        return runAsUnprivilegedUser([this] {
            sqlite3* connection = nullptr;
            sqlite3_open_v2(QFile::encodeName(database).constData(), &connection, SQLITE_OPEN_READONLY, nullptr);
            sqlite3_db_config(connection, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
            sqlite3_stmt* statement = nullptr;
            int count = 255;
            if (sqlite3_prepare_v2(connection, "SELECT COUNT(*) FROM clips", -1, &statement, nullptr) == SQLITE_OK
                && sqlite3_step(statement) == SQLITE_ROW)
                count = sqlite3_column_int(statement, 0);
            sqlite3_finalize(statement);
            sqlite3_close(connection);
            return count;
        });
    }
};

} // namespace

// Another program holds the history for ten seconds (BEGIN EXCLUSIVE) while three different
// things are copied, each read by the application before the next replaces it: once the history
// is free, all three are stored, in the order they were copied.
TEST(HistoryAccessEndToEnd, CopiesMadeWhileAnotherProgramHoldsTheHistoryAreAllStoredInOrder)
{
    Desktop desktop;
    Profile profile;
    profile.storeKnown();
    auto application = profile.launch();
    QByteArray log;
    ASSERT_TRUE(waitForMonitoring(*application, log)) << log.toStdString();
    copyWithXclip(QStringLiteral("before the lock"));
    ASSERT_TRUE(waitUntil([&] { return records(profile) == 1; }, 10000));

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(profile.database).constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    QElapsedTimer held;
    held.start();
    const QStringList whileLocked{QStringLiteral("first while locked"), QStringLiteral("second while locked"),
                                  QStringLiteral("third while locked")};
    std::vector<std::unique_ptr<QProcess>> owners;
    for (const QString& text : whileLocked) {
        owners.push_back(copyServing(text));
        QProcess& owner = *owners.back();
        QByteArray asked;
        EXPECT_TRUE(waitUntil(
            [&] {
                asked += owner.readAllStandardOutput();
                return asked.contains("asked UTF8_STRING");
            },
            10000))
            << "the application never read " << text.toStdString();
    }
    QTest::qWait(std::max<int>(0, 10000 - held.elapsed()));
    EXPECT_EQ(texts(profile), QStringList{QStringLiteral("before the lock")});
    ASSERT_EQ(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);

    EXPECT_TRUE(waitUntil([&] { return records(profile) == 4; }, 10000));
    EXPECT_EQ(texts(profile), QStringList{QStringLiteral("before the lock")} + whileLocked);
    stop(*application);
    for (const auto& owner : owners) {
        owner->kill();
        owner->waitForFinished(5000);
    }
}

// The owner of the history makes its folder read-only (chmod -R a-w) between two starts. The next
// start shows the records, and records; no start leaves a file the one after cannot write.
TEST(HistoryAccessEndToEnd, AHistoryItsOwnerMadeReadOnlyShowsItsRecordsAndRecordsAgain)
{
    Desktop desktop;
    OwnedProfile profile;
    auto application = profile.launchAsOwner();
    copyWithXclip(QStringLiteral("kept before"));
    ASSERT_TRUE(waitUntil([&] { return profile.records() == 1; }, 10000));
    stop(*application);

    ASSERT_EQ(runProgram({QStringLiteral("chmod"), QStringLiteral("-R"), QStringLiteral("a-w"), profile.history()}), 0);
    // Never recorded: it is on the clipboard when the application starts.
    copyWithXclip(QStringLiteral("there at launch"));
    application = profile.launchAsOwner();
    // The history window lists the record: Down leads from the search field into the list, and
    // Ctrl+C copies the record there back.
    const QString history = Desktop::openHistory();
    ASSERT_FALSE(history.isEmpty()) << "the history window did not open from the tray";
    EXPECT_TRUE(waitUntil(
        [&] {
            return Desktop::type(history, QStringLiteral("Down Home ctrl+c"))
                && waitUntil([] { return clipboard() == "kept before"; }, 2000);
        },
        20000))
        << "the record is not listed";
    copyWithXclip(QStringLiteral("copied after"));
    EXPECT_TRUE(waitUntil([&] { return profile.records() == 2; }, 10000)) << "the copy was not recorded";
    stop(*application);

    for (const QString& name : QDir(profile.history()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        EXPECT_TRUE(permissions(profile.history() + QLatin1Char('/') + name) & 0200)
            << name.toStdString() << " is left read-only";
    }
    application = profile.launchAsOwner();
    copyWithXclip(QStringLiteral("the next start"));
    EXPECT_TRUE(waitUntil([&] { return profile.records() == 3; }, 10000)) << "the next start did not record";
    stop(*application);
    EXPECT_EQ(
        texts(profile),
        (QStringList{QStringLiteral("kept before"), QStringLiteral("copied after"), QStringLiteral("the next start")}));
}
