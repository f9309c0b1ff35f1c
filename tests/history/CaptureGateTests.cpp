#include "CaptureGate.h"

#include <gtest/gtest.h>

using namespace tavlin;

namespace {

const QString plainText = QStringLiteral("public.utf8-plain-text");
const QString concealed = QStringLiteral("org.nspasteboard.ConcealedType");
const QString transient = QStringLiteral("org.nspasteboard.TransientType");

ClipboardSnapshot snapshot(qint64 changeCount, std::optional<QString> text,
                           std::optional<QString> source = std::nullopt, QSet<QString> types = {plainText})
{
    return {changeCount, std::move(text), std::move(types), std::move(source)};
}

} // namespace

TEST(CaptureGate, LetsEachChangeThroughOnceAndNeverTheBaseline)
{
    CaptureGate gate(7);
    EXPECT_FALSE(gate.shouldCapture(7, {plainText}, std::nullopt)) << "what was there at launch";
    EXPECT_TRUE(gate.shouldCapture(8, {plainText}, std::nullopt)) << "no known source passes";
    EXPECT_FALSE(gate.shouldCapture(8, {plainText}, std::nullopt)) << "the same change again";
    EXPECT_TRUE(gate.shouldCapture(9, {}, QStringLiteral("org.gnome.TextEditor")));
}

TEST(CaptureGate, RefusedChangesAreConsumedAsWell)
{
    CaptureGate gate(0);
    EXPECT_FALSE(gate.shouldCapture(1, {plainText, transient}, std::nullopt));
    EXPECT_EQ(gate.lastChangeCount, 1);
    EXPECT_FALSE(gate.shouldCapture(1, {plainText}, std::nullopt));

    EXPECT_FALSE(gate.shouldCapture(2, {plainText}, QStringLiteral("com.bitwarden.desktop")));
    EXPECT_EQ(gate.lastChangeCount, 2);

    gate.ignore(3);
    EXPECT_FALSE(gate.shouldCapture(3, {plainText}, std::nullopt)) << "a change consumed by ignore";
}

TEST(CaptureGate, ProtectedAndExcludedSourcesAreExactAndCaseSensitive)
{
    for (const QString& type : CaptureGate::protectedTypes()) {
        CaptureGate gate(0);
        EXPECT_FALSE(gate.shouldCapture(1, {plainText, type}, std::nullopt)) << qPrintable(type);
    }
    CaptureGate gate(0);
    EXPECT_TRUE(gate.shouldCapture(1, {QStringLiteral("org.nspasteboard.concealedtype")}, std::nullopt));
    EXPECT_TRUE(gate.shouldCapture(2, {plainText}, QStringLiteral("com.Bitwarden.desktop")));
    EXPECT_TRUE(gate.isExcluded(QStringLiteral("com.apple.Passwords")));
    EXPECT_FALSE(gate.isExcluded(QStringLiteral("com.apple.passwords")));
    EXPECT_FALSE(gate.isExcluded(std::nullopt));

    gate.userExcludedSources = {QStringLiteral("org.keepassxc.KeePassXC")};
    EXPECT_TRUE(gate.isExcluded(QStringLiteral("org.keepassxc.KeePassXC")));
    EXPECT_FALSE(gate.shouldCapture(3, {plainText}, QStringLiteral("org.keepassxc.KeePassXC")));
    EXPECT_TRUE(gate.shouldCapture(4, {plainText}, QStringLiteral("org.gnome.TextEditor")));
}

TEST(CaptureGate, AcceptReturnsRecordableTextUntrimmed)
{
    CaptureGate gate(0);
    EXPECT_EQ(gate.accept(snapshot(1, QStringLiteral("  keep me \n"))), QStringLiteral("  keep me \n"));
    EXPECT_EQ(gate.accept(snapshot(1, QStringLiteral("again"))), std::nullopt) << "same change count";
    EXPECT_EQ(gate.accept(snapshot(2, QStringLiteral(" \n\t\u2028 \n"))), std::nullopt) << "white space only";
    EXPECT_EQ(gate.accept(snapshot(3, QStringLiteral("nul") + QChar(u'\0') + QStringLiteral("inside"))), std::nullopt);
    EXPECT_EQ(gate.accept(snapshot(4, std::nullopt)), std::nullopt);
    EXPECT_EQ(gate.accept(snapshot(5, QStringLiteral("secret"), std::nullopt, {plainText, concealed})), std::nullopt);
    EXPECT_EQ(gate.accept(snapshot(6, QStringLiteral("secret"), QStringLiteral("com.1password.1password"))),
              std::nullopt);
    EXPECT_EQ(gate.lastChangeCount, 6);
}

TEST(CaptureGate, AcceptBoundsTextByItsUtf8Size)
{
    CaptureGate gate(0);
    // Two-byte characters, so a count of UTF-16 units would pass the longer text.
    const QString atLimit(1'048'576 / 2, QChar(u'é'));
    EXPECT_EQ(gate.accept(snapshot(1, atLimit)), atLimit);
    EXPECT_EQ(gate.accept(snapshot(2, atLimit + u'x')), std::nullopt);
}
