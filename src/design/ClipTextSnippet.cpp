#include "ClipTextSnippet.h"

#include "SystemFont.h"
#include "TavlinTheme.h"
#include "TextCharacters.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <QTextCursor>

namespace tavlin {

namespace {

constexpr auto unicode = QRegularExpression::UseUnicodePropertiesOption;

// Strings, comments, numbers and keywords, tried in this order at each position.
const QRegularExpression& tokens()
{
    static const QRegularExpression expression(
        QStringLiteral(
            R"((?<string>"""[\s\S]*?(?:"""|\z)|'''[\s\S]*?(?:'''|\z)|"(?:\\[\s\S]|[^"\\\r\n])*(?:"|(?=\r|\n|\z))|'(?:\\[\s\S]|[^'\\\r\n])*(?:'|(?=\r|\n|\z))|`(?:\\[\s\S]|[^`\\])*(?:`|\z)))"
            R"(|(?<comment>//[^\r\n]*|#[^\r\n]*|/\*[\s\S]*?(?:\*/|\z)))"
            R"(|(?<number>(?<![\w.])-?\b(?:0[xX][0-9a-fA-F]+|\d+(?:\.\d+)?(?:[eE][+-]?\d+)?)(?!\w)))"
            R"(|(?<keyword>\b(?:let|var|const|func|function|def|class|struct|enum|protocol|extension|import|from|return|if|else|elif|for|while|in|of|switch|case|break|continue|guard|throw|throws|try|catch|do|async|await|public|private|internal|static|self|this|new|true|false|null|nil|True|False|None|pass)\b))"),
        unicode);
    Q_ASSERT(expression.isValid());
    return expression;
}

// Declarations that hardly occur in prose. (*ANY) lets ^ start a line after any line break, as
// texts copied from other systems end lines with \r or \r\n.
const QList<QRegularExpression>& declarations()
{
    static const QList<QRegularExpression> expressions = [] {
        const char* const patterns[] = {
            // A function declaration with its body's opening brace.
            R"((?m)^\h*(?:(?:public|private|internal|static|async)\h+)*(?:func|function)\h+[A-Za-z_]\w*\h*\([^\r\n)]*\)[^\r\n{]*\{)",
            // A type declaration.
            R"((?m)^\h*(?:struct|class|enum|protocol|extension)\h+[A-Za-z_]\w*(?:\h*:\h*[^\r\n{]+)?\h*\{)",
            // A binding with an initial value.
            R"((?m)^\h*(?:let|var|const)\h+[A-Za-z_]\w*(?:\h*:\h*[A-Za-z_][\w<>?\[\]:, .]*)?\h*=\h*(?:[\"'`\[{]|-?\d|(?:true|false|nil|null)\b|[A-Za-z_]\w*\h*\(|\([^\r\n)]*\)\h*=>))",
            // A def with an indented body.
            R"((?m)^\h*(?:async\h+)?def\h+[A-Za-z_]\w*\h*\([^\r\n)]*\)\h*(?:->\h*[^\r\n:]+)?\h*:\h*(?:\r?\n|\r)\h+\S)",
            // A class header ending in a colon, with an indented body.
            R"((?m)^\h*class\h+[A-Za-z_]\w*\h*(?:\([^\r\n)]*\))?\h*:\h*(?:\r?\n|\r)\h+\S)",
            // A for-in header ending in a colon, with an indented body.
            R"((?m)^\h*for\h+[A-Za-z_]\w*\h+in\h+[^\r\n:]+:\h*(?:\r?\n|\r)\h+\S)",
        };
        QList<QRegularExpression> list;
        for (const char* pattern : patterns) {
            list.append(QRegularExpression(QStringLiteral("(*ANY)") + QString::fromUtf8(pattern), unicode));
            Q_ASSERT(list.last().isValid());
        }
        return list;
    }();
    return expressions;
}

bool isJSONContainer(const QString& trimmedSample, const QByteArray& bytes)
{
    static const QRegularExpression stringLiteral(QStringLiteral(R"("(?:\\.|[^"\\])*")"), unicode);
    static const QRegularExpression trailingComma(QStringLiteral(R"(,\s*[}\]])"), unicode);
    QString skeleton = trimmedSample;
    skeleton.replace(stringLiteral, QStringLiteral("\"\""));
    // A comma before a closing bracket is not JSON, though lenient parsers take it.
    if (skeleton.contains(trailingComma))
        return false;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    return error.error == QJsonParseError::NoError && (document.isObject() || document.isArray());
}

} // namespace

bool ClipTextSnippet::isCode(const QString& text)
{
    // Every character takes at least one byte, so this many characters hold the bytes needed.
    const QByteArray head = QStringView(text).left(sampleBytes + 1).toUtf8().left(sampleBytes + 1);
    const bool whole = head.size() <= sampleBytes;
    // A character cut at the boundary decodes as one replacement character.
    const QString sample = QString::fromUtf8(head.left(sampleBytes));
    const QString trimmed = sample.trimmed();
    if (trimmed.isEmpty())
        return false;
    if (whole && (trimmed.startsWith(u'{') || trimmed.startsWith(u'[')) && isJSONContainer(trimmed, head))
        return true;
    for (const QRegularExpression& declaration : declarations()) {
        if (sample.contains(declaration))
            return true;
    }
    return false;
}

HighlightedText ClipTextSnippet::highlighted(const QString& text, qint64 maximumCharacters)
{
    const qsizetype limit = qBound<qint64>(0, maximumCharacters, maximumHighlightedCharacters);
    HighlightedText result;
    result.text = text.left(TextCharacters::prefixLength(text, limit));
    if (result.text.isEmpty() || !isCode(text))
        return result;
    result.code = true;
    QRegularExpressionMatchIterator matches = tokens().globalMatch(result.text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        if (match.capturedLength() == 0)
            continue;
        const CodeToken token = match.capturedStart(u"string") >= 0 ? CodeToken::string
            : match.capturedStart(u"comment") >= 0                  ? CodeToken::comment
            : match.capturedStart(u"number") >= 0                   ? CodeToken::number
                                                                    : CodeToken::keyword;
        result.runs.append({match.capturedStart(), match.capturedLength(), token});
    }
    return result;
}

const ThemeColor& ClipTextSnippet::color(CodeToken token)
{
    switch (token) {
    case CodeToken::string: return TavlinTheme::systemBrown;
    case CodeToken::comment: return TavlinTheme::secondaryText;
    case CodeToken::number: return TavlinTheme::systemBlue;
    case CodeToken::keyword: return TavlinTheme::brandAccent;
    case CodeToken::plain: break;
    }
    return TavlinTheme::primaryText;
}

QFont HighlightedText::codeFont()
{
    return SystemFont::monospaced(12);
}

QList<QTextLayout::FormatRange> HighlightedText::formats(const Appearance& appearance) const
{
    QList<QTextLayout::FormatRange> formats;
    const auto add = [&](qsizetype start, qsizetype length, CodeToken token) {
        if (length <= 0)
            return;
        QTextCharFormat format;
        format.setForeground(ClipTextSnippet::color(token).resolve(appearance));
        if (code)
            format.setFont(codeFont());
        formats.append({int(start), int(length), format});
    };
    qsizetype position = 0;
    for (const Run& run : runs) {
        add(position, run.start - position, CodeToken::plain);
        add(run.start, run.length, run.token);
        position = run.start + run.length;
    }
    add(position, text.size() - position, CodeToken::plain);
    return formats;
}

void HighlightedText::insert(QTextCursor& cursor, const Appearance& appearance) const
{
    bool afterCarriageReturn = false;
    for (const QTextLayout::FormatRange& range : formats(appearance)) {
        QString piece = text.mid(range.start, range.length);
        // One line break per \r\n, also when a token boundary falls between the two.
        if (afterCarriageReturn && piece.startsWith(u'\n'))
            piece.remove(0, 1);
        afterCarriageReturn = piece.endsWith(u'\r');
        piece.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        piece.replace(u'\r', u'\n');
        cursor.insertText(piece, range.format);
    }
}

} // namespace tavlin
