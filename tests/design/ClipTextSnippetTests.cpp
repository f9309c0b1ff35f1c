#include "ClipTextSnippet.h"
#include "DesignTestSupport.h"
#include "TavlinTheme.h"

#include <gtest/gtest.h>

namespace tavlin {
namespace {

bool isCode(const char* text)
{
    return ClipTextSnippet::isCode(QString::fromUtf8(text));
}

// The token class of the run that covers `fragment` exactly, or plain.
CodeToken tokenOf(const HighlightedText& result, const QString& fragment)
{
    const qsizetype start = result.text.indexOf(fragment);
    for (const HighlightedText::Run& run : result.runs) {
        if (run.start == start && run.length == fragment.size())
            return run.token;
    }
    return CodeToken::plain;
}

TEST(ClipTextSnippetDetection, RecognisesDeclarationsOfCommonLanguages)
{
    EXPECT_TRUE(isCode("import SwiftUI\n\nstruct ContentView: View {\n    var body: some View { Text(\"Hi\") }\n}\n"));
    EXPECT_TRUE(
        isCode("    private static func load(_ url: URL) throws -> Data {\n        try Data(contentsOf: url)\n    }"));
    EXPECT_TRUE(isCode("class HistoryStore : public QObject {\npublic:\n    void open();\n};"));
    EXPECT_TRUE(isCode("const answer = 42;\nconsole.log(answer);"));
    EXPECT_TRUE(isCode("let view = UIView(frame: .zero)"));
    EXPECT_TRUE(isCode("async function fetchUser(id) {\n  return db.get(id);\n}"));
    // Only the listed modifiers may come before a function.
    EXPECT_FALSE(isCode("export function fetchUser(id) {\n  return db.get(id);\n}"));
    EXPECT_TRUE(isCode("def greet(name: str) -> str:\n    return f\"Hello, {name}\""));
    EXPECT_TRUE(isCode("async def main():\n\tawait run()"));
    EXPECT_TRUE(isCode("class Point(object):\n    x = 0"));
    EXPECT_TRUE(isCode("for item in items:\n    print(item)"));
    EXPECT_TRUE(isCode("let handler = (event) => console.log(event)"));
    // Lines ended the old way still start new lines.
    EXPECT_TRUE(isCode("# settings\rdef run():\r    pass"));
}

TEST(ClipTextSnippetDetection, RecognisesSmallJSONDocuments)
{
    EXPECT_TRUE(isCode("{\"name\": \"Tavlin\"}"));
    EXPECT_TRUE(isCode("  [1, 2, {\"a\": null}]\n"));
    // The comma and brace inside a string are no trailing comma.
    EXPECT_TRUE(isCode("{\"note\": \"a, }\"}"));
    // A trailing comma is not JSON, and the text matches no declaration either.
    EXPECT_FALSE(isCode("{\"name\": \"Tavlin\",}"));
    EXPECT_FALSE(isCode("[1, 2, ]"));
    EXPECT_FALSE(isCode("{not json}"));
    EXPECT_FALSE(isCode("{\"a\": 1} trailing words"));
}

TEST(ClipTextSnippetDetection, ProseShellAndEmptyTextsAreNotCode)
{
    EXPECT_FALSE(isCode(""));
    EXPECT_FALSE(isCode(" \n\t "));
    EXPECT_FALSE(isCode("let me know when you are free tomorrow"));
    EXPECT_FALSE(isCode("Let x = 5 be the number of apples."));
    EXPECT_FALSE(isCode("For everyone in the team: the meeting moves to 3 pm.\n  Thanks!"));
    EXPECT_FALSE(isCode("The class starts at nine: bring your notebooks."));
    EXPECT_FALSE(isCode("https://example.com/path?query=1"));
    // Shell commands have none of the declarations.
    EXPECT_FALSE(isCode("sudo apt-get install -y ninja-build\ncd build && ninja"));
    EXPECT_FALSE(isCode("Привет! Давай встретимся в 15:00 у входа."));
    // A def line needs an indented next line.
    EXPECT_FALSE(isCode("def greet(name):"));
    EXPECT_FALSE(isCode("def greet(name):\nreturn name"));
}

TEST(ClipTextSnippetDetection, LooksAtTheFirst16384BytesOnly)
{
    const QString filler(16384, u'x');
    EXPECT_FALSE(ClipTextSnippet::isCode(filler + QStringLiteral("\nlet a = 1")));
    EXPECT_TRUE(ClipTextSnippet::isCode(QStringLiteral("let a = 1\n") + filler));

    // A JSON document over 16384 bytes is left to the declarations, which it lacks.
    QString json = QStringLiteral("[");
    while (json.toUtf8().size() <= 16384)
        json += QStringLiteral("\"entry\", ");
    json += QStringLiteral("\"end\"]");
    EXPECT_FALSE(ClipTextSnippet::isCode(json));
    EXPECT_TRUE(ClipTextSnippet::isCode(QStringLiteral("[\"entry\", \"end\"]")));
}

TEST(ClipTextSnippetDetection, ACharacterCutAtTheSampleBoundaryDoesNotBreakDetection)
{
    // "ж" takes two bytes; after 11 bytes of ASCII the sample ends in the middle of one.
    const QString text = QStringLiteral("let a = 1 \n") + QString(8188, QChar(0x0436));
    EXPECT_TRUE(ClipTextSnippet::isCode(text));
}

TEST(ClipTextSnippetHighlighting, ColoursTokensOfCode)
{
    const QString code = QStringLiteral("# load the settings\n"
                                        "def load(path, retries=3):\n"
                                        "    value = 0x1F + -2.5e-3\n"
                                        "    flag = True if path else None\n"
                                        "    return \"unterminated\n"
                                        "    // done");
    const HighlightedText result = ClipTextSnippet::highlighted(code, 1000);
    ASSERT_TRUE(result.code);
    EXPECT_EQ(result.text, code);
    EXPECT_EQ(tokenOf(result, QStringLiteral("# load the settings")), CodeToken::comment);
    EXPECT_EQ(tokenOf(result, QStringLiteral("def")), CodeToken::keyword);
    EXPECT_EQ(tokenOf(result, QStringLiteral("3")), CodeToken::number);
    EXPECT_EQ(tokenOf(result, QStringLiteral("0x1F")), CodeToken::number);
    EXPECT_EQ(tokenOf(result, QStringLiteral("-2.5e-3")), CodeToken::number);
    EXPECT_EQ(tokenOf(result, QStringLiteral("True")), CodeToken::keyword);
    EXPECT_EQ(tokenOf(result, QStringLiteral("None")), CodeToken::keyword);
    // An unterminated string ends with its line.
    EXPECT_EQ(tokenOf(result, QStringLiteral("\"unterminated")), CodeToken::string);
    EXPECT_EQ(tokenOf(result, QStringLiteral("// done")), CodeToken::comment);
    // Names are plain.
    EXPECT_EQ(tokenOf(result, QStringLiteral("retries")), CodeToken::plain);
}

TEST(ClipTextSnippetHighlighting, StringsAndCommentsHideWhatTheyContain)
{
    const QString code = QStringLiteral("let s = \"return 42 // no\" /* if 7 */\nlet t = `a\nreturn`");
    const HighlightedText result = ClipTextSnippet::highlighted(code, 1000);
    ASSERT_TRUE(result.code);
    EXPECT_EQ(tokenOf(result, QStringLiteral("\"return 42 // no\"")), CodeToken::string);
    EXPECT_EQ(tokenOf(result, QStringLiteral("/* if 7 */")), CodeToken::comment);
    EXPECT_EQ(tokenOf(result, QStringLiteral("`a\nreturn`")), CodeToken::string);
    // A number glued to a word is no number.
    const HighlightedText glued = ClipTextSnippet::highlighted(QStringLiteral("let v2 = f(x1.5)"), 100);
    EXPECT_TRUE(glued.runs.size() == 1 && glued.runs.first().token == CodeToken::keyword);
}

TEST(ClipTextSnippetHighlighting, ProseIsLeftPlainWithoutAFont)
{
    const HighlightedText result = ClipTextSnippet::highlighted(QStringLiteral("if you return by 5, call me"), 100);
    EXPECT_FALSE(result.code);
    EXPECT_TRUE(result.runs.isEmpty());
    const auto formats = result.formats(Appearance{});
    ASSERT_EQ(formats.size(), 1);
    EXPECT_EQ(formats.first().length, result.text.size());
    EXPECT_EQ(formats.first().format.foreground().color(), TavlinTheme::primaryText.resolve(Appearance{}));
    EXPECT_FALSE(formats.first().format.hasProperty(QTextFormat::FontPixelSize));
}

TEST(ClipTextSnippetHighlighting, CutsByCharactersWithinItsLimits)
{
    EXPECT_TRUE(ClipTextSnippet::highlighted(QStringLiteral("let a = 1"), -5).text.isEmpty());
    EXPECT_EQ(ClipTextSnippet::highlighted(QString(20000, u'a'), 100000).text.size(), 16384);
    // A flag emoji is one character of four UTF-16 units.
    const QString flags = QStringLiteral("🇳🇴🇳🇴🇳🇴");
    EXPECT_EQ(ClipTextSnippet::highlighted(flags, 2).text, QStringLiteral("🇳🇴🇳🇴"));
    // Whether it is code is asked of the whole text, not of the cut.
    const HighlightedText head = ClipTextSnippet::highlighted(QStringLiteral("let a = 1\nlet b = 2"), 3);
    EXPECT_TRUE(head.code);
    EXPECT_EQ(head.text, QStringLiteral("let"));
}

TEST(ClipTextSnippetHighlighting, FormatsCoverTheWholeTextWithTokenColours)
{
    const Appearance dark{true, false};
    const HighlightedText result = ClipTextSnippet::highlighted(QStringLiteral("var n = 10 // ten"), 100);
    ASSERT_TRUE(result.code);
    qsizetype covered = 0;
    for (const QTextLayout::FormatRange& range : result.formats(dark)) {
        EXPECT_EQ(range.start, covered);
        EXPECT_EQ(range.format.font().pixelSize(), 12);
        covered += range.length;
    }
    EXPECT_EQ(covered, result.text.size());
}

} // namespace
} // namespace tavlin
