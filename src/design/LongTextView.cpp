#include "LongTextView.h"

#include "RoundedShape.h"
#include "ThemeAppearance.h"

#include <QMimeData>
#include <QPainter>
#include <QTextBlock>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace tavlin {

namespace {

// The block state of a paragraph that goes on with the line of the one before it.
constexpr int continuedLine = 1;

bool endsParagraph(QChar character)
{
    // What QTextCursor::insertText turns into a paragraph break (with \r\n as one).
    return character == u'\n' || character == u'\r' || character == QChar::ParagraphSeparator
        || character == QChar(0xfdd0) || character == QChar(0xfdd1);
}

// Where the paragraph that starts at `start` of a longer line ends: after a space near the
// limit when there is one, so that the break reads as a wrap; else between two characters as
// the user sees them, never inside a surrogate pair or a cluster of combining marks.
qsizetype paragraphEnd(const QString& text, qsizetype start)
{
    const qsizetype limit = start + LongTextView::paragraphCharacters;
    for (qsizetype end = limit; end > limit - 200; --end) {
        if (text.at(end - 1).isSpace())
            return end;
    }
    constexpr qsizetype reach = 64;
    const qsizetype from = limit - reach;
    const qsizetype length = std::min(text.size() - from, 2 * reach);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.constData() + from, length);
    finder.setPosition(reach);
    if (finder.isAtBoundary())
        return limit;
    const qsizetype boundary = finder.toPreviousBoundary();
    return boundary > 0 ? from + boundary : limit;
}

// The text as the document holds it. Short lines share a paragraph, parted by line separators,
// as a document of many small paragraphs is slow to build; a long line is cut into paragraphs,
// as one long paragraph is slow to lay out. \r\n is one break.
struct Paragraphs {
    QString text;
    // The numbers of the blocks that go on with the line of the block before.
    QList<int> continued;
    // From a position of the given text on, the shift to the position in `text`.
    QList<std::pair<qsizetype, qsizetype>> shifts;

    explicit Paragraphs(const QString& given)
    {
        constexpr qsizetype limit = LongTextView::paragraphCharacters;
        text.reserve(given.size() + given.size() / limit + 1);
        const auto lineEnd = [&given](qsizetype from) {
            return std::find_if(given.cbegin() + from, given.cend(), endsParagraph) - given.cbegin();
        };
        qsizetype shift = 0;
        int block = 0;
        // The length of the paragraph being filled.
        qsizetype length = 0;
        for (qsizetype at = 0, end = lineEnd(0);;) {
            while (end - at > limit) {
                const qsizetype cut = paragraphEnd(given, at);
                text.append(QStringView(given).sliced(at, cut - at));
                text.append(u'\n');
                continued.append(++block);
                shifts.append({cut, ++shift});
                length = 0;
                at = cut;
            }
            text.append(QStringView(given).sliced(at, end - at));
            length += end - at;
            if (end == given.size())
                break;
            at = end + 1;
            if (given.at(end) == u'\r' && at < given.size() && given.at(at) == u'\n')
                shifts.append({++at, --shift});
            end = lineEnd(at);
            if (length + 1 + (end - at) <= limit) {
                text.append(QChar::LineSeparator);
                ++length;
            } else {
                text.append(u'\n');
                ++block;
                length = 0;
            }
        }
    }

    qsizetype position(qsizetype given) const
    {
        const auto after = std::upper_bound(shifts.cbegin(), shifts.cend(), given,
                                            [](qsizetype value, const auto& entry) { return value < entry.first; });
        return given + (after == shifts.cbegin() ? 0 : std::prev(after)->second);
    }
};

} // namespace

LongTextView::LongTextView(QWidget* parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFocusPolicy(Qt::ClickFocus);
    setUndoRedoEnabled(false);
    // Else the scroll range is found by laying out the text's last page as well as its first.
    setCenterOnScroll(true);
    viewport()->setAutoFillBackground(false);
    viewport()->setCursor(Qt::IBeamCursor);
    QPalette transparent = palette();
    transparent.setColor(QPalette::Base, Qt::transparent);
    setPalette(transparent);
    document()->setDocumentMargin(0);
}

void LongTextView::setText(const QString& text, const QList<QTextLayout::FormatRange>& formats)
{
    const Paragraphs paragraphs(text);
    setPlainText(paragraphs.text);
    for (int number : paragraphs.continued)
        document()->findBlockByNumber(number).setUserState(continuedLine);
    if (formats.isEmpty())
        return;
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (const QTextLayout::FormatRange& range : formats) {
        cursor.setPosition(int(paragraphs.position(range.start)));
        cursor.setPosition(int(paragraphs.position(range.start + range.length)), QTextCursor::KeepAnchor);
        cursor.setCharFormat(range.format);
    }
    cursor.endEditBlock();
}

QString LongTextView::text() const
{
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    return joined(cursor.selectedText(), document()->firstBlock());
}

QString LongTextView::selectedText() const
{
    const QTextCursor cursor = textCursor();
    return joined(cursor.selectedText(), document()->findBlock(cursor.selectionStart()));
}

QString LongTextView::joined(const QString& shown, QTextBlock block) const
{
    QString text;
    text.reserve(shown.size());
    for (const QChar character : shown) {
        if (character == QChar::LineSeparator) {
            text.append(u'\n');
            continue;
        }
        if (character != QChar::ParagraphSeparator) {
            text.append(character);
            continue;
        }
        block = block.next();
        if (block.userState() != continuedLine)
            text.append(u'\n');
    }
    return text;
}

void LongTextView::setSurface(std::optional<ThemeColor> color, qreal radius)
{
    surface_ = color;
    radius_ = radius;
    viewport()->update();
}

void LongTextView::setPadding(int padding)
{
    document()->setDocumentMargin(padding);
}

QSize LongTextView::sizeHint() const
{
    // As much as there is room for: the view scrolls its own text.
    return {QPlainTextEdit::sizeHint().width(), 10 * fontMetrics().lineSpacing()};
}

QSize LongTextView::minimumSizeHint() const
{
    return {0, 3 * fontMetrics().lineSpacing()};
}

QMimeData* LongTextView::createMimeDataFromSelection() const
{
    auto* data = new QMimeData;
    data->setText(selectedText());
    return data;
}

void LongTextView::paintEvent(QPaintEvent* event)
{
    if (surface_) {
        QPainter painter(viewport());
        RoundedShape::fill(painter, QRectF(viewport()->rect()), radius_, surface_->resolve(ThemeAppearance::of(this)));
    }
    QPlainTextEdit::paintEvent(event);
}

} // namespace tavlin
