#include "LogCapture.h"
#include "PendingCaptures.h"

#include <gtest/gtest.h>

using namespace tavlin;

namespace {

CapturedClipboard textCopy(const QString& text, qsizetype padding = 0)
{
    const QByteArray bytes = text.toUtf8() + QByteArray(padding, ' ');
    return {text, ClipKind::text, {{ClipItem{{{QStringLiteral("public.utf8-plain-text"), bytes}}}}, std::nullopt}};
}

QStringList drain(PendingCaptures& pending)
{
    QStringList texts;
    while (!pending.isEmpty()) {
        texts.append(pending.first().capture.text);
        pending.removeFirst();
    }
    return texts;
}

} // namespace

TEST(PendingCaptures, KeepsCopiesInOrderAndDropsTheOldestPastSixteenLoggingEach)
{
    test::LogCapture log;
    PendingCaptures pending;
    QStringList made;
    for (int copy = 1; copy <= 18; ++copy) {
        made.append(QStringLiteral("copy %1").arg(copy));
        pending.append(textCopy(made.last()), QStringLiteral("org.gnome.TextEditor"));
    }
    EXPECT_EQ(pending.first().source, QStringLiteral("org.gnome.TextEditor"));
    EXPECT_EQ(drain(pending), made.mid(2));
    EXPECT_EQ(log.errors().size(), 2);
    EXPECT_EQ(pending.bytes(), 0);
}

TEST(PendingCaptures, DropsTheOldestPastSixtyFourMebibytesButAlwaysKeepsTheNewest)
{
    test::LogCapture log;
    PendingCaptures pending;
    constexpr qsizetype twentyMebibytes = 20 << 20;
    for (const char* text : {"a", "b", "c"})
        pending.append(textCopy(QString::fromLatin1(text), twentyMebibytes), std::nullopt);
    EXPECT_EQ(pending.size(), 3);
    pending.append(textCopy(QStringLiteral("d"), twentyMebibytes), std::nullopt);
    EXPECT_LE(pending.bytes(), PendingCaptures::maximumBytes);
    EXPECT_EQ(log.errors().size(), 1);

    // One copy over the bound by itself still waits: dropping it would lose the newest copy.
    pending.append(textCopy(QStringLiteral("huge"), PendingCaptures::maximumBytes), std::nullopt);
    EXPECT_EQ(drain(pending), QStringList{QStringLiteral("huge")});
}
