#include "DecodingError.h"
#include "FileSystemError.h"
#include "HostileFiles.h"
#include "StorageError.h"
#include "StoreTestSupport.h"

#include <QFile>

#include <gtest/gtest.h>
#include <unistd.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

struct DamageFixture : StoreFixture {
    qint64 damagedID = 0;
    qint64 healthyID = 0;
    QString damagedPath;

    DamageFixture()
    {
        insertText(QStringLiteral("to be damaged"));
        damagedID = newestID();
        insertText(QStringLiteral("healthy"));
        healthyID = newestID();
        damagedPath = folder.payloadFolder() + u'/' + fileNameOf(damagedID);
    }

    void update(const QString& assignment)
    {
        executeSQL(folder.databasePath(),
                   QStringLiteral("UPDATE clips SET %1 WHERE id = %2").arg(assignment).arg(damagedID));
    }

    // The damaged record reports `detail`, and the rest of the history stays usable.
    void expectDamaged(const char* detail)
    {
        try {
            store->loadPayload(damagedID);
            ADD_FAILURE() << "a damaged record loaded; expected " << detail;
        } catch (const StorageError& error) {
            EXPECT_EQ(error.kind(), StorageError::Kind::damagedRecord);
            EXPECT_EQ(error.detail(), QString::fromUtf8(detail));
            EXPECT_EQ(error.localizedDescription(), StorageError::damagedRecordText());
        }
        expectRestUsable();
    }

    void expectRestUsable()
    {
        EXPECT_EQ(store->loadPayload(healthyID), textPayload(QStringLiteral("healthy")));
        EXPECT_EQ(store->fetch(10, QString()).size(), 2) << "the damaged record stays listed";
    }
};

} // namespace

TEST(HistoryStorePayload, DamagedFilesAreReported)
{
    {
        DamageFixture fixture;
        const QByteArray bytes = readFile(fixture.damagedPath);
        writeFile(fixture.damagedPath, bytes.left(bytes.size() - 3));
        fixture.expectDamaged("Corrupted clipboard data size");
    }
    {
        DamageFixture fixture;
        QByteArray bytes = readFile(fixture.damagedPath);
        bytes.replace("to be damaged", "TO BE DAMAGED");
        writeFile(fixture.damagedPath, bytes);
        fixture.expectDamaged("Corrupted clipboard data: checksum mismatch");
    }
    {
        DamageFixture fixture;
        const QString elsewhere = fixture.folder.path() + QStringLiteral("/elsewhere.clip");
        QFile::copy(fixture.damagedPath, elsewhere);
        QFile::remove(fixture.damagedPath);
        ASSERT_EQ(
            ::symlink(QFile::encodeName(elsewhere).constData(), QFile::encodeName(fixture.damagedPath).constData()), 0);
        fixture.expectDamaged("Invalid clipboard data file");
    }
    {
        DamageFixture fixture;
        QFile::remove(fixture.damagedPath);
        EXPECT_THROW(fixture.store->loadPayload(fixture.damagedID), FileSystemError);
        fixture.expectRestUsable();
    }
    {
        // Same size and right digest column, but not a property list at all.
        DamageFixture fixture;
        const qint64 size = QFile(fixture.damagedPath).size();
        writeFile(fixture.damagedPath, QByteArray(size, 'z'));
        EXPECT_THROW(fixture.store->loadPayload(fixture.damagedID), DecodingError);
        fixture.expectRestUsable();
    }
    {
        // Under every size limit, but nested so deep that parsing it would overflow the stack.
        DamageFixture fixture;
        const QByteArray deep = nestedBinaryArrays(100'001);
        writeFile(fixture.damagedPath, deep);
        fixture.update(QStringLiteral("payload_bytes = %1").arg(deep.size()));
        fixture.expectDamaged("Clipboard data nested deeper than a payload");
    }
}

TEST(HistoryStorePayload, DamagedRowsAreReported)
{
    const struct {
        const char* assignment;
        const char* detail;
    } cases[] = {
        {"payload_filename = NULL", "Missing reference to clipboard data"},
        {"payload_digest = NULL", "Missing checksum of clipboard data"},
        {"payload_filename = '../history.sqlite'", "Invalid reference to clipboard data"},
        {"payload_filename = substr(payload_filename, 2)", "Invalid reference to clipboard data"},
        {"payload_filename = 'A' || payload_filename", "Invalid reference to clipboard data"},
        {"payload_bytes = payload_bytes + 1", "Corrupted clipboard data size"},
        {"payload_digest = 'ab'", "Corrupted clipboard data: checksum mismatch"},
    };
    for (const auto& damage : cases) {
        SCOPED_TRACE(damage.assignment);
        DamageFixture fixture;
        fixture.update(QString::fromUtf8(damage.assignment));
        fixture.expectDamaged(damage.detail);
    }

    // A row of another kind without any payload is damaged; a legacy text row is not.
    DamageFixture fixture;
    fixture.update(QStringLiteral("payload_filename = NULL, payload_digest = NULL, payload_bytes = 0, kind = 'image'"));
    fixture.expectDamaged("Missing reference to clipboard data");
    fixture.update(QStringLiteral("kind = 'text'"));
    EXPECT_EQ(fixture.store->loadPayload(fixture.damagedID), std::nullopt);
    EXPECT_EQ(fixture.store->loadPayload(424242), std::nullopt);
}

TEST(HistoryStorePayload, AcceptsLowerCaseNamesAndRejectsNearMisses)
{
    DamageFixture fixture;
    const QString upper = fixture.fileNameOf(fixture.damagedID);
    const QString lower = upper.left(36).toLower() + QStringLiteral(".clip");
    QFile::rename(fixture.damagedPath, fixture.folder.payloadFolder() + u'/' + lower);
    fixture.update(QStringLiteral("payload_filename = '%1'").arg(lower));
    EXPECT_EQ(fixture.store->loadPayload(fixture.damagedID), textPayload(QStringLiteral("to be damaged")));

    EXPECT_TRUE(HistoryStore::isValidPayloadFileName(lower));
    EXPECT_FALSE(HistoryStore::isValidPayloadFileName(upper.mid(1)));
    EXPECT_FALSE(HistoryStore::isValidPayloadFileName(u'0' + upper));
    EXPECT_FALSE(HistoryStore::isValidPayloadFileName(upper.left(36) + QStringLiteral(".CLIP")));
    EXPECT_FALSE(HistoryStore::isValidPayloadFileName(QStringLiteral("../../../../../../../../../../etc/x.clip")));
    QString noHyphens = upper;
    noHyphens[8] = u'0';
    EXPECT_FALSE(HistoryStore::isValidPayloadFileName(noHyphens));
}
