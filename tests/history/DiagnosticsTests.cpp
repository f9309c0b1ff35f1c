#include "DecodingError.h"
#include "Diagnostics.h"
#include "FileSystemError.h"
#include "HistoryRetention.h"
#include "StorageError.h"
#include "Translations.h"

#include <QCoreApplication>
#include <QTranslator>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace tavlin;

namespace {

QStringList captured;

void capture(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtCriticalMsg && QByteArray(context.category) == "org.tavlin.Tavlin.errors")
        captured.append(message);
}

struct LogCapture {
    QtMessageHandler previous;
    LogCapture() : previous(qInstallMessageHandler(capture)) { captured.clear(); }
    ~LogCapture() { qInstallMessageHandler(previous); }
};

} // namespace

TEST(Diagnostics, ShowsTheUserTextAndLogsOnlyTheDetail)
{
    LogCapture log;
    const StorageError damaged(QStringLiteral("Corrupted clipboard data: checksum mismatch"), StorageError::Kind::damagedRecord);
    EXPECT_EQ(Diagnostics::userMessage(damaged),
              QStringLiteral("This record’s data is damaged and can’t be used. The rest of the history isn’t affected."));
    ASSERT_EQ(captured.size(), 1);
    EXPECT_EQ(captured[0], QStringLiteral("StorageError Tavlin.StorageError 1: Corrupted clipboard data: checksum mismatch"));

    EXPECT_EQ(Diagnostics::userMessage(StorageError(QStringLiteral("The text is too large to save."))),
              QStringLiteral("The text is too large to save."));
    EXPECT_EQ(Diagnostics::userMessage(StorageError(QStringLiteral("disk I/O error"), StorageError::Kind::limit)),
              StorageError::unavailableText())
        << "a limit error without its own text falls back to the general one";

    captured.clear();
    const QString fileMessage = Diagnostics::userMessage(FileSystemError(EACCES, QStringLiteral("/home/ann/.local/share/Tavlin")));
    EXPECT_EQ(fileMessage, QStringLiteral("Tavlin couldn’t use the file “Tavlin”: permission denied."));
    ASSERT_EQ(captured.size(), 1);
    EXPECT_TRUE(captured[0].startsWith(QStringLiteral("FileSystemError POSIX %1: /home/ann/.local/share/Tavlin").arg(EACCES)));

    captured.clear();
    EXPECT_EQ(Diagnostics::userMessage(std::runtime_error("boom")), QStringLiteral("boom"));
    EXPECT_EQ(captured.value(0), QStringLiteral("std::runtime_error std 0: boom"));
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
