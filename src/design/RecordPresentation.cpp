#include "RecordPresentation.h"

#include "ClipContentView.h"
#include "ClipKindLabel.h"
#include "RichTextPresentation.h"
#include "TextCharacters.h"

#include <QLocale>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QUrl>

namespace tavlin {

namespace {

QString head(const QString& text, qsizetype characters)
{
    return text.left(TextCharacters::prefixLength(text, characters));
}

bool isLineBreak(QChar first)
{
    const char16_t c = first.unicode();
    return c == 0x0A || c == 0x0B || c == 0x0C || c == 0x0D || c == 0x85 || c == 0x2028 || c == 0x2029;
}

bool isLoneOpening(QStringView line)
{
    // Spaces and tabs around it, as the whitespace character set counts them (no line breaks).
    qsizetype start = 0;
    qsizetype end = line.size();
    while (start < end && line[start].isSpace())
        ++start;
    while (end > start && line[end - 1].isSpace())
        --end;
    const QStringView trimmed = line.mid(start, end - start);
    return trimmed == u"{" || trimmed == u"[";
}

// The line worth showing in a compact row, its colours kept.
HighlightedText usefulPart(const HighlightedText& snippet)
{
    const auto line = RecordPresentation::usefulLine(snippet.text);
    if (!line)
        return snippet;
    HighlightedText part{snippet.text.mid(line->first, line->second), snippet.code, {}};
    for (const HighlightedText::Run& run : snippet.runs) {
        const qsizetype start = qMax(run.start, line->first);
        const qsizetype end = qMin(run.start + run.length, line->first + line->second);
        if (end > start)
            part.runs.append({start - line->first, end - start, run.token});
    }
    return part;
}

} // namespace

RecordPresentation RecordPresentation::of(const Clip& clip, const std::optional<ClipRowPresentation>& row)
{
    RecordPresentation shown;
    shown.row = row;
    const QString display = ClipContentView::displayText(clip);
    shown.text = head(display, textCharacters);
    shown.code = ClipTextSnippet::isCode(display);
    if (shown.code)
        shown.highlighted = ClipTextSnippet::highlighted(display, textCharacters);
    const bool codeRow = shown.code && (clip.kind == ClipKind::text || clip.kind == ClipKind::richText);
    const bool richPreview = row && row->preview.kind == ClipPreview::Case::richText;
    std::optional<QString> richLine;
    if (richPreview) {
        richLine = RichTextPresentation::plainString(row->preview.data, row->preview.type, titleCharacters);
        // Rich text counts its characters whole, however long one is.
        if (richLine)
            richLine = head(*richLine, titleCharacters);
    }
    if (richLine) {
        // Rich text keeps the row's own font: only its line is picked like code's.
        const auto line = usefulLine(*richLine);
        shown.title.text = codeRow && line ? richLine->mid(line->first, line->second) : *richLine;
    } else if (codeRow) {
        shown.title = usefulPart(ClipTextSnippet::highlighted(display, titleCharacters));
    } else {
        shown.title.text = head(display, titleCharacters);
    }
    if (clip.kind == ClipKind::link) {
        const QUrl url(shown.text, QUrl::StrictMode);
        if (url.isValid() && !url.host().isEmpty()) {
            shown.linkHost = url.host();
            shown.linkDetail = head(url.path() + (url.hasQuery() ? QStringLiteral("?") + url.query() : QString()),
                                    textCharacters);
        }
    }
    if (richPreview) {
        std::shared_ptr<QTextDocument> rich = RichTextPresentation::attributed(row->preview.data, row->preview.type,
                                                                               textCharacters);
        if (rich) {
            // Cut where a character too long is, as the text is.
            const QString raw = rich->toRawText();
            if (const qsizetype end = TextCharacters::prefixLength(raw, textCharacters); end < raw.size()) {
                QTextCursor rest(rich.get());
                rest.setPosition(int(end));
                rest.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
                rest.removeSelectedText();
            }
            rich->setDocumentMargin(0);
            shown.richSurface = RichTextPresentation::surface(*rich);
            const auto line = codeRow && richLine ? usefulLine(*richLine) : std::nullopt;
            if (line && line->first + line->second < rich->characterCount()) {
                // The line cut out with its own formats, as code rows show their useful line.
                QTextCursor cut(rich.get());
                cut.setPosition(int(line->first));
                cut.setPosition(int(line->first + line->second), QTextCursor::KeepAnchor);
                auto title = std::make_shared<QTextDocument>();
                title->setDefaultFont(rich->defaultFont());
                title->setDocumentMargin(0);
                QTextCursor(title.get()).insertFragment(cut.selection());
                shown.richTitle = std::move(title);
            }
        }
        shown.rich = std::move(rich);
    }
    if (row)
        shown.image = row->image;
    shown.summary = summaryOf(clip, row);
    shown.tooltip = tooltipOf(display);
    shown.accessibleName = accessibleNameOf(clip);
    return shown;
}

QString RecordPresentation::summaryOf(const Clip& clip, const std::optional<ClipRowPresentation>& row)
{
    if (row && !row->metadata.fileNames.isEmpty())
        return row->metadata.fileNames.first();
    const QString text = ClipContentView::displayText(clip);
    const QStringView head = QStringView(text).left(TextCharacters::prefixLength(text, summaryCharacters));
    // Lines split at every break character; CR LF is one character and so one break.
    QList<QStringView> lines;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, head.data(), head.size());
    qsizetype lineStart = 0;
    qsizetype position = 0;
    while (position < head.size()) {
        qsizetype next = characters.toNextBoundary();
        if (next < 0)
            next = head.size();
        if (isLineBreak(head[position])) {
            if (position > lineStart)
                lines.append(head.mid(lineStart, position - lineStart));
            lineStart = next;
        }
        position = next;
    }
    if (head.size() > lineStart)
        lines.append(head.mid(lineStart));
    if (lines.isEmpty())
        return QString();
    for (const QStringView line : lines) {
        if (!isLoneOpening(line))
            return line.toString();
    }
    return lines.first().toString();
}

QString RecordPresentation::tooltipOf(const QString& text)
{
    QString shown = head(text, tooltipCharacters);
    qsizetype breaks = 0;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (shown[i] == QLatin1Char('\n') && ++breaks == tooltipLines) {
            shown.truncate(i);
            break;
        }
    }
    if (shown.size() < text.size())
        shown = shown.trimmed() + QChar(0x2026);
    return shown;
}

QString RecordPresentation::accessibleNameOf(const Clip& clip)
{
    // The default locale is the interface language's.
    return QLocale().toUpper(displayLabel(clip.kind)) + QStringLiteral(": ")
        + head(ClipContentView::displayText(clip), titleCharacters);
}

std::optional<std::pair<qsizetype, qsizetype>> RecordPresentation::usefulLine(const QString& text)
{
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != QLatin1Char('\n') && text[end] != QLatin1Char('\r')
               && text[end] != QChar(0x2028) && text[end] != QChar(0x2029) && text[end] != QChar(0x85))
            ++end;
        const QString trimmed = text.mid(start, end - start).trimmed();
        if (!trimmed.isEmpty() && trimmed != QLatin1String("{") && trimmed != QLatin1String("}")
            && trimmed != QLatin1String("[") && trimmed != QLatin1String("]"))
            return std::pair(start, end - start);
        if (end >= text.size())
            break;
        start = end
            + (text[end] == QLatin1Char('\r') && end + 1 < text.size() && text[end + 1] == QLatin1Char('\n') ? 2 : 1);
    }
    return std::nullopt;
}

} // namespace tavlin
