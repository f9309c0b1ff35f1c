// Big records in the real application (long texts, emoji texts however short, rich text and web
// pages): with one selected and its preview showing, the application keeps answering. Its main thread answers every _NET_WM_PING within a second,
// copies made meanwhile are stored, a second launch is answered, and SIGTERM ends it.
#include "ApplicationProfile.h"
#include "BigTexts.h"
#include "MainThreadPings.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <gtest/gtest.h>

using namespace tavlin::test;

namespace {

struct BigRecord {
    const char* name;
    QString text;
    // Further targets offered beside the text, as a word processor or a browser offers them.
    QList<std::pair<QString, QByteArray>> rich = {};
};

// A report of many paragraphs in twenty fonts and thirty colours, as RTF of about `bytes`, with its text.
BigRecord rtfReport(const char* name, qsizetype bytes)
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl";
    for (int font = 0; font < 20; ++font)
        rtf += "{\\f" + QByteArray::number(font) + "\\fswiss Font Family " + QByteArray::number(font) + ";}";
    rtf += "}{\\colortbl;";
    for (int colour = 0; colour < 30; ++colour)
        rtf += "\\red" + QByteArray::number(colour * 8) + "\\green" + QByteArray::number(255 - colour * 8) + "\\blue"
            + QByteArray::number(colour * 5 % 256) + ";";
    rtf += "}\n";
    QString text;
    for (int paragraph = 0; rtf.size() < bytes - 300; ++paragraph) {
        const QByteArray words = "Paragraph " + QByteArray::number(paragraph) + " of a long report, with some words.";
        rtf += "\\pard\\sa120\\f" + QByteArray::number(paragraph % 20) + "\\fs"
            + QByteArray::number(20 + paragraph % 5 * 2) + "\\cf" + QByteArray::number(paragraph % 30 + 1) + " {\\b "
            + words + "} and {\\i more} in a line.\\par\n";
        // Its text goes beside it, as far as a text record may hold.
        if (text.size() < 500000)
            text += QString::fromLatin1(words) + QStringLiteral(" and more in a line.\n");
    }
    return {name, text, {{QStringLiteral("text/rtf"), rtf + "}"}}};
}

BigRecord htmlPage()
{
    QByteArray html = "<html><body>";
    QString text;
    for (int paragraph = 0; html.size() < (2 << 20) - 200; ++paragraph) {
        const QByteArray words = "Paragraph " + QByteArray::number(paragraph) + " of a page, with a few words.";
        html += "<p style=\"color:#336\"><b>" + words + "</b> <a href=\"https://example.org/\">a link</a></p>\n";
        text += QString::fromLatin1(words) + QStringLiteral(" a link\n");
    }
    return {"TwoMebibyteHtml", text, {{QStringLiteral("text/html"), html + "</body></html>"}}};
}

QList<BigRecord> bigRecords()
{
    return {{"OneMebibyteOnOneLine", QString(1 << 20, u'x')},
            {"TenThousandEmoji", QStringLiteral("\U0001F600\U0001F44D\U0001F3FD\U0001F680").repeated(2500)},
            {"HundredThousandShortLines", numberedLines()},
            {"Zalgo", zalgo(12400)},
            {"LogOfTwelveThousandLines", serviceLog()},
            // Shorter than a long text, yet no lighter to lay out.
            {"ChatMessageWithTwoHundredEmoji", chatMessage()},
            {"ThousandEmoji", emojiText(1000)},
            {"FourThousandEmoji", emojiText(4000)},
            {"ZalgoOf8170Characters", zalgo(8170)},
            rtfReport("OneMebibyteRtf", 1 << 20),
            rtfReport("TwoMebibyteRtf", 2 << 20),
            htmlPage(),
            // One character of a letter under 200,000 accents, as a word processor offers it.
            {"OneCharacterInRtf",
             QStringLiteral("word e") + QString(200000, QChar(0x0301)),
             {{QStringLiteral("text/rtf"),
               "{\\rtf1\\ansi\\uc1 {\\b word} e" + QByteArray("\\u769?").repeated(200000) + "\\par}"}}}};
}

void PrintTo(const BigRecord& record, std::ostream* stream)
{
    *stream << record.name;
}

class BigRecordEndToEnd : public testing::TestWithParam<BigRecord> { };

// Copies with xclip from a file, as a user copies from an editor.
void copy(const QString& text)
{
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write(text.toUtf8());
    file.close();
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"), file.fileName()});
    EXPECT_TRUE(xclip.waitForFinished(10000));
}

// Offers the text and the record's other targets at once through the test clipboard owner,
// which stays until another copy takes the clipboard.
void copy(const BigRecord& record, QTemporaryDir& folder, std::unique_ptr<QProcess>& owner)
{
    if (record.rich.isEmpty())
        return copy(record.text);
    QStringList targets;
    QList<std::pair<QString, QByteArray>> offered = record.rich;
    offered.append({QStringLiteral("UTF8_STRING"), record.text.toUtf8()});
    for (qsizetype i = 0; i < offered.size(); ++i) {
        QFile file(folder.filePath(QString::number(i)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(offered[i].second);
        targets.append(offered[i].first + QStringLiteral("=@") + file.fileName());
    }
    owner = std::make_unique<QProcess>();
    owner->start(QStringLiteral(TAVLIN_TEST_CLIPBOARD_OWNER), QStringList{QStringLiteral("serve")} + targets);
    ASSERT_TRUE(owner->waitForReadyRead(10000));
}

TEST_P(BigRecordEndToEnd, SelectedWithItsPreviewTheApplicationKeepsAnswering)
{
    Desktop desktop;
    Profile profile;
    profile.storeKnown("<key>history.showPreview</key><true/>");
    auto application = profile.launch();
    QByteArray log;
    ASSERT_TRUE(waitForMonitoring(*application, log)) << log.toStdString();
    QTemporaryDir folder;
    std::unique_ptr<QProcess> owner;
    copy(GetParam(), folder, owner);
    ASSERT_TRUE(waitUntil([&] { return records(profile) == 1; }, 20000)) << "the big record was not stored";

    MainThreadPings pings(application->processId());
    // The tray click opens the window with the newest record selected and its preview built.
    ASSERT_FALSE(Desktop::openHistory().isEmpty()) << application->readAllStandardError().toStdString();

    copy(QStringLiteral("a copy made meanwhile"));
    EXPECT_TRUE(waitUntil([&] { return records(profile) == 2; }, 10000)) << "the copy was not stored";

    auto second = profile.launch();
    EXPECT_TRUE(second->waitForFinished(10000)) << "a second launch was not answered";
    EXPECT_EQ(second->exitCode(), 0);

    EXPECT_TRUE(pings.answeredWithin(1000));

    stop(*application);
}

INSTANTIATE_TEST_SUITE_P(, BigRecordEndToEnd, testing::ValuesIn(bigRecords()),
                         [](const testing::TestParamInfo<BigRecord>& info) { return std::string(info.param.name); });

void keys(const QString& keys)
{
    run(QStringLiteral("xdotool key --delay 60 ") + keys);
}

QByteArray clipboard()
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"),
                 QStringLiteral("UTF8_STRING")});
    xclip.waitForFinished(10000);
    return xclip.readAllStandardOutput();
}

// Presses `pressed` (ending in a copy) until the clipboard holds `expected`.
bool copiesBack(const QString& pressed, const QByteArray& expected)
{
    return waitUntil(
        [&] {
            keys(pressed);
            return waitUntil([&] { return clipboard() == expected; }, 2000);
        },
        20000);
}

// The history window's arrangement: "list" or "cards".
class OneCharacterEndToEnd : public testing::TestWithParam<const char*> { };

// A letter under 524,286 accents: one character of a mebibyte, which no line can break.
TEST_P(OneCharacterEndToEnd, AMebibyteOfOneCharacterIsShownInBothWindowsAndCopiedBackWhole)
{
    Desktop desktop;
    Profile profile;
    profile.storeKnown("<key>history.showPreview</key><true/><key>history.viewMode</key><string>"
                       + QByteArray(GetParam()) + "</string>");
    auto application = profile.launch();
    QByteArray log;
    ASSERT_TRUE(waitForMonitoring(*application, log)) << log.toStdString();
    MainThreadPings pings(application->processId());

    const QString character = QStringLiteral("e") + QString(524286, QChar(0x0301));
    const QByteArray bytes = character.toUtf8();
    copy(character);
    ASSERT_TRUE(waitUntil([&] { return records(profile) == 1; }, 20000)) << "the character was not stored";
    copy(QStringLiteral("a copy made meanwhile"));
    EXPECT_TRUE(waitUntil([&] { return records(profile) == 2; }, 10000)) << "the copy after it was not stored";

    // The history window: the older record selected (its preview built) and copied back.
    ASSERT_FALSE(Desktop::openHistory().isEmpty()) << application->readAllStandardError().toStdString();
    // Down leads from the search field to the records, and on to the older one, the last.
    EXPECT_TRUE(copiesBack(QStringLiteral("Down ctrl+c"), bytes)) << clipboard().size() << " bytes";
    keys(QStringLiteral("ctrl+w"));
    EXPECT_TRUE(waitUntil([] { return Desktop::focusedWindowName() != u"Tavlin"; }, 10000));

    // The Quick Panel: newest first, so the character is the third.
    copy(QStringLiteral("a copy made later"));
    EXPECT_TRUE(waitUntil([&] { return records(profile) == 3; }, 10000));
    keys(QStringLiteral("ctrl+alt+k"));
    ASSERT_TRUE(waitUntil([] { return Desktop::focusedWindowName() == u"Tavlin Quick Panel"; }, 10000))
        << Desktop::focusedWindowName().toStdString();
    EXPECT_TRUE(copiesBack(QStringLiteral("Down Down Return"), bytes)) << clipboard().size() << " bytes";

    EXPECT_TRUE(pings.answeredWithin(1000));
    EXPECT_EQ(records(profile), 3);
    stop(*application, 2000);
}

INSTANTIATE_TEST_SUITE_P(, OneCharacterEndToEnd, testing::Values("list", "cards"));

} // namespace
