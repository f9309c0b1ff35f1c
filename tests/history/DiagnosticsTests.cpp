#include "DecodingError.h"
#include "Diagnostics.h"
#include "FileSystemError.h"
#include "HistoryRetention.h"
#include "LogCapture.h"
#include "StorageError.h"
#include "Translations.h"

#include <QCoreApplication>
#include <QTranslator>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace tavlin;

using test::LogCapture;

TEST(Diagnostics, ShowsTheUserTextAndLogsOnlyTheDetail)
{
    LogCapture log;
    const StorageError damaged(QStringLiteral("Corrupted clipboard data: checksum mismatch"),
                               StorageError::Kind::damagedRecord);
    EXPECT_EQ(
        Diagnostics::userMessage(damaged),
        QStringLiteral("This record’s data is damaged and can’t be used. The rest of the history isn’t affected."));
    ASSERT_EQ(log.errors().size(), 1);
    EXPECT_EQ(log.errors()[0],
              QStringLiteral("StorageError Tavlin.StorageError 1: Corrupted clipboard data: checksum mismatch"));

    EXPECT_EQ(Diagnostics::userMessage(StorageError(QStringLiteral("The text is too large to save."))),
              QStringLiteral("The text is too large to save."));
    EXPECT_EQ(Diagnostics::userMessage(StorageError(QStringLiteral("disk I/O error"), StorageError::Kind::limit)),
              StorageError::unavailableText())
        << "a limit error without its own text falls back to the general one";

    const qsizetype logged = log.errors().size();
    const QString fileMessage = Diagnostics::userMessage(
        FileSystemError(EACCES, QStringLiteral("/home/ann/.local/share/Tavlin")));
    EXPECT_EQ(fileMessage, QStringLiteral("Tavlin couldn’t use the file “Tavlin”: permission denied."));
    ASSERT_EQ(log.errors().size(), logged + 1);
    EXPECT_TRUE(log.errors().last().startsWith(
        QStringLiteral("FileSystemError POSIX %1: /home/ann/.local/share/Tavlin").arg(EACCES)));

    EXPECT_EQ(Diagnostics::userMessage(std::runtime_error("boom")), QStringLiteral("boom"));
    EXPECT_EQ(log.errors().last(), QStringLiteral("std::runtime_error std 0: boom"));
}

TEST(Diagnostics, FollowsTheInterfaceLanguage)
{
    QTranslator russian;
    ASSERT_TRUE(Translations::load(russian, QStringLiteral("ru")));
    QCoreApplication::installTranslator(&russian);
    LogCapture log;
    EXPECT_EQ(Diagnostics::userMessage(StorageError(QStringLiteral("x"), StorageError::Kind::newerHistory)),
              QStringLiteral("Эта история сохранена более новой версией Tavlin. Обновите Tavlin, чтобы открыть её."));
    EXPECT_EQ(Diagnostics::userMessage(StorageError(StorageError::recordTooLargeText(QStringLiteral("32 МБ")))),
              QStringLiteral("Запись больше 32 МБ и не сохранена."));
    EXPECT_EQ(Diagnostics::userMessage(RetentionImpactChanged({})),
              QStringLiteral("История изменилась: подтвердите удаление ещё раз."));
    EXPECT_EQ(Diagnostics::userMessage(DecodingError(QStringLiteral("bad"))),
              QStringLiteral("Не удалось прочитать данные: у них неверный формат."));
    QCoreApplication::removeTranslator(&russian);
}
