#include "HistoryRowContent.h"

#include "CardMetadata.h"
#include "ClipSnippetView.h"
#include "ClipTypeBadge.h"
#include "CopyConfirmationBadge.h"
#include "CopyConfirmationReplaced.h"
#include "FirstLines.h"
#include "FormattedTextView.h"
#include "HistoryTimestamp.h"
#include "RoundedShape.h"
#include "ScaledImage.h"
#include "SourceApplicationIcon.h"
#include "SymbolIcon.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "TextCharacters.h"

#include <QAbstractTextDocumentLayout>
#include <QCache>
#include <QFontMetricsF>
#include <QPainter>
#include <QStaticText>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QUrl>

#include <cmath>

namespace tavlin {

namespace {

// A card's row of kind badge and age, above its footer at the bottom.
QRectF cardBadgeRow(const QRectF& bounds)
{
    const QRectF inner = bounds.adjusted(16, 12, -16, -12);
    return {inner.left(), inner.bottom() - (20 + 4 + 18), inner.width(), 20};
}

// A row's content, inside its rounded surface.
QRectF compactInner(const QRectF& bounds)
{
    return bounds.adjusted(16 + 7, 8 + 2, -16 - 7, -8 - 2);
}

// Where the age ends a row (compact) or a card's badge row, aligned to its trailing end.
QRectF timeRow(const QRectF& bounds, bool compact)
{
    if (!compact)
        return cardBadgeRow(bounds);
    const QRectF inner = compactInner(bounds);
    return {inner.right() - 120, inner.top(), 120, inner.height()};
}

QFont ageFont()
{
    return SystemFont::regular(11);
}

// One line of a footer or an age, shaped once for its font and drawn as it stands afterwards:
// those few texts ("5 min", "Text Editor · 42 characters") come back at every paint, and all at
// once when the ages move on.
const QStaticText& shapedLine(const QString& text, const QFont& font)
{
    static QCache<std::pair<QString, QString>, QStaticText> lines(1024);
    std::pair key{font.key(), text};
    if (QStaticText* kept = lines.object(key))
        return *kept;
    auto* line = new QStaticText(text);
    line->setTextFormat(Qt::PlainText);
    line->setPerformanceHint(QStaticText::AggressiveCaching);
    line->prepare(QTransform(), font);
    lines.insert(std::move(key), line);
    return *line;
}

qreal lineWidth(const QString& text, const QFont& font)
{
    return text.isEmpty() ? 0 : shapedLine(text, font).size().width();
}

// The line drawn in `rect`, centred on its height and cut at its ends, from the left or
// (`trailing`) ending at its right.
void drawLine(QPainter& painter, const QRectF& rect, const QString& text, const QFont& font, bool trailing = false)
{
    if (text.isEmpty())
        return;
    const QStaticText& line = shapedLine(text, font);
    const qreal height = QFontMetricsF(font).height();
    const qreal x = trailing ? rect.right() - line.size().width() : rect.left();
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.setFont(font);
    painter.drawStaticText(QPointF(x, rect.top() + (rect.height() - height) / 2), line);
    painter.restore();
}

// Whether what stands in `rect` is repainted. Wider by a little for antialiased edges and glyphs
// that reach past their advance.
bool exposed(const HistoryRowContent::Input& input, const QRectF& rect)
{
    return input.exposed.isEmpty() || input.exposed.intersects(rect.adjusted(-2, -2, 2, 2).toAlignedRect());
}

HistoryRowContent::Excerpts::Excerpt excerpt(const QSizeF& size, const QString& text, const QFont& font,
                                             const QTextOption& option, int maxLines,
                                             const QList<QTextLayout::FormatRange>& formats, Qt::TextElideMode elide)
{
    HistoryRowContent::Excerpts::Excerpt made{
        FirstLines(HistoryRowContent::withLineSeparators(text), font, option, size.width(), maxLines, formats)};
    const FirstLines& lines = made.lines;
    for (; made.shown < lines.lineCount(); ++made.shown) {
        const qreal height = lines.lineAt(made.shown).height();
        if (made.height + height > size.height() && made.shown > 0)
            break;
        made.height += height;
    }
    if (made.shown == 0)
        return made;
    const QTextLine last = lines.lineAt(made.shown - 1);
    if (last.textStart() + last.textLength() < text.size() || last.naturalTextWidth() > size.width()) {
        // As a painter draws a string aligned in a rectangle.
        QTextOption single;
        single.setWrapMode(QTextOption::NoWrap);
        single.setTextDirection(Qt::LeftToRight);
        single.setAlignment(option.alignment());
        made.elided.emplace(FirstLines::elided(QStringView(text).sliced(last.textStart()), font, elide, size.width()),
                            font, single, size.width(), 1);
    }
    return made;
}

// Draws text wrapped into at most `maxLines` lines from the top of `rect`, the last one elided
// when more follows; returns the height used.
qreal drawWrapped(QPainter& painter, const QRectF& rect, const QString& text, const QFont& font, const QColor& color,
                  int maxLines, HistoryRowContent::Excerpts* excerpts,
                  const QList<QTextLayout::FormatRange>& formats = {}, Qt::TextElideMode elide = Qt::ElideRight)
{
    QTextOption option;
    option.setWrapMode(maxLines == 1 ? QTextOption::NoWrap : QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Record text keeps its own direction.
    const bool rightToLeft = text.isRightToLeft();
    option.setTextDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    option.setAlignment(rightToLeft ? Qt::AlignRight | Qt::AlignAbsolute : Qt::AlignLeft | Qt::AlignAbsolute);
    const auto make = [&] { return excerpt(rect.size(), text, font, option, maxLines, formats, elide); };
    std::optional<HistoryRowContent::Excerpts::Excerpt> own;
    const HistoryRowContent::Excerpts::Excerpt& shown = excerpts && formats.isEmpty()
        ? excerpts->get({text, font, rect.size(), maxLines, elide}, make, !rightToLeft)
        : own.emplace(make());
    painter.save();
    painter.setPen(color);
    painter.setFont(font);
    painter.setClipRect(rect);
    for (int i = 0; i < shown.shown; ++i) {
        const QTextLine line = shown.lines.lineAt(i);
        if (i == shown.shown - 1 && shown.elided && shown.elided->lineCount() > 0) {
            const QTextLine elided = shown.elided->lineAt(0);
            elided.draw(&painter, rect.topLeft() + QPointF(0, line.y() + (line.height() - elided.height()) / 2));
        } else {
            line.draw(&painter, rect.topLeft());
        }
    }
    painter.restore();
    return shown.height;
}

qreal wholeLinesHeight(QTextDocument& document, qreal available)
{
    qreal bottom = 0;
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QRectF frame = layout->blockBoundingRect(block);
        const QTextLayout* lines = block.layout();
        for (int i = 0; lines && i < lines->lineCount(); ++i) {
            const qreal lineBottom = frame.top() + lines->lineAt(i).rect().bottom();
            if (lineBottom > available)
                return bottom;
            bottom = lineBottom;
        }
    }
    return bottom;
}

void drawImage(QPainter& painter, const QRectF& area, const QImage& image, qreal radius)
{
    QSizeF size = image.size();
    size.scale(area.size(), Qt::KeepAspectRatio);
    const QRectF target(area.center() - QPointF(size.width() / 2, size.height() / 2), size);
    painter.save();
    painter.setClipPath(RoundedShape::path(target, radius));
    ScaledImage::draw(painter, target, image);
    painter.restore();
}

void drawFileIcon(QPainter& painter, const QRectF& rect, const HistoryRowContent::Input& input, const QColor& tint)
{
    const std::optional<ClipRowPresentation>& row = input.shown.row;
    const QString name = row && !row->metadata.fileNames.isEmpty() ? row->metadata.fileNames.first() : input.shown.text;
    // The theme's icon is decoded on a worker: "doc" stands in until it arrives, and for good
    // when the theme has none.
    const std::optional<QIcon> icon = input.icons ? input.icons->fileTypeIcon(name) : std::nullopt;
    if (!icon || icon->isNull())
        SymbolIcon::paint(painter, QStringLiteral("doc"), rect, tint);
    else
        icon->paint(&painter, rect.toAlignedRect());
}

void drawFooter(QPainter& painter, const QRectF& rect, const HistoryRowContent::Input& input)
{
    const QColor secondary = TavlinTheme::secondaryText.resolve(input.appearance);
    const auto& source = input.source;
    source->paint(painter, QRectF(rect.left(), rect.center().y() - 9, 18, 18), secondary);
    const QFont font = SystemFont::regular(11);
    const std::optional<ClipMetadata> metadata = input.shown.row ? std::optional(input.shown.row->metadata)
                                                                 : std::nullopt;
    const QString detail = CardMetadata::footer(metadata, input.clip.kind);
    qreal x = rect.left() + 25;
    const bool fileLike = input.clip.kind == ClipKind::file || input.clip.kind == ClipKind::other;
    const auto [name, shown] = HistoryRowContent::footerTexts(font, source->name, detail, rect.right() - x, fileLike,
                                                              CardMetadata::shortFooter(metadata, input.clip.kind));
    painter.save();
    painter.setPen(secondary);
    if (!name.isEmpty()) {
        const QString named = name + QStringLiteral(" · ");
        drawLine(painter, QRectF(x, rect.top(), rect.right() - x, rect.height()), named, font);
        x += lineWidth(named, font);
    }
    drawLine(painter, QRectF(x, rect.top(), rect.right() - x, rect.height()), shown, font);
    painter.restore();
}

// The age, or the "Copied" badge in its place while the copy is confirmed; the star before it.
qreal drawTime(QPainter& painter, const QRectF& row, const HistoryRowContent::Input& input)
{
    const QFont font = ageFont();
    const QString age = HistoryTimestamp::relative(input.clip.createdAt, input.now);
    // The badge grows leftwards from the age's place: the star keeps clear of whichever is wider.
    const qreal shownWidth = lineWidth(age, font);
    const bool confirmed = input.confirmation.confirmed;
    const qreal width = confirmed ? qMax<qreal>(shownWidth, CopyConfirmationBadge::badgeSize().width()) : shownWidth;
    const QRectF label(row.right() - width, row.top(), width, row.height());
    if (const qreal opacity = CopyConfirmationReplaced::opacity(confirmed); opacity > 0 && exposed(input, label)) {
        painter.save();
        painter.setOpacity(painter.opacity() * opacity);
        painter.setPen(TavlinTheme::secondaryText.resolve(input.appearance));
        drawLine(painter, label, age, font, true);
        painter.restore();
    }
    qreal left = label.left();
    if (input.clip.isFavorite) {
        left -= 6 + 11;
        if (const QRectF star(left, row.center().y() - 5.5, 11, 11); exposed(input, star))
            SymbolIcon::paint(painter, QStringLiteral("star.fill"), star,
                              TavlinTheme::accent.resolve(input.appearance));
    }
    return left;
}

// The first line of rich text in its own fonts and colours, on a small rounded surface padded 4
// and 2; a line taller than the title is scaled down to it, and what is wider is cut.
void drawRichTitle(QPainter& painter, const QRectF& title, const QTextDocument& rich, const QColor& surface,
                   const QColor& ink)
{
    std::unique_ptr<QTextDocument> document(rich.clone());
    document->setDocumentMargin(0);
    QTextOption option = document->defaultTextOption();
    option.setWrapMode(QTextOption::NoWrap);
    document->setDefaultTextOption(option);
    const QTextBlock first = document->begin();
    const QRectF block = document->documentLayout()->blockBoundingRect(first);
    const qreal lineHeight = first.layout() && first.layout()->lineCount() > 0 ? first.layout()->lineAt(0).height()
                                                                               : block.height();
    if (lineHeight <= 0)
        return;
    const qreal scale = qMin<qreal>(1.0, title.height() / lineHeight);
    const qreal lineWidth = first.layout() && first.layout()->lineCount() > 0
        ? first.layout()->lineAt(0).naturalTextWidth()
        : 0;
    const QRectF back(title.left(), title.top() - 2, qMin(title.width(), lineWidth * scale + 8), title.height() + 4);
    RoundedShape::fill(painter, back, 4, surface);
    painter.save();
    painter.setClipRect(back.adjusted(4, 2, -4, -2));
    painter.translate(back.left() + 4, title.top() + (title.height() - lineHeight * scale) / 2);
    painter.scale(scale, scale);
    FormattedTextView::drawDocument(painter, *document, QRectF(0, 0, (back.width() - 8) / scale, lineHeight), ink);
    painter.restore();
}

void paintCompact(QPainter& painter, const QRectF& bounds, const HistoryRowContent::Input& input)
{
    const Appearance& appearance = input.appearance;
    const QRectF inner = compactInner(bounds);
    const QRectF visual(inner.left(), inner.center().y() - 19, 38, 38);
    const RecordPresentation& shown = input.shown;
    const bool code = shown.code && (input.clip.kind == ClipKind::text || input.clip.kind == ClipKind::richText);
    const QColor secondary = TavlinTheme::secondaryText.resolve(appearance);
    if (!exposed(input, visual)) {
        // An age repainted alone leaves what leads the row as it stands.
    } else if (!shown.image.isNull()) {
        RoundedShape::fill(painter, visual, 8, TavlinTheme::elevatedSurface.resolve(appearance));
        drawImage(painter, visual, shown.image, 8);
    } else if (input.clip.kind == ClipKind::file || input.clip.kind == ClipKind::other) {
        drawFileIcon(painter, QRectF(visual.left() + 3, visual.top() + 3, 32, 32), input, secondary);
    } else {
        const QString symbol = code ? QStringLiteral("chevron.left.forwardslash.chevron.right")
                                    : SymbolIcon::forKind(input.clip.kind);
        const QColor tint = code || input.clip.kind == ClipKind::link ? TavlinTheme::brandAccent.resolve(appearance)
                                                                      : secondary;
        SymbolIcon::paint(painter, symbol, QRectF(visual.left() + 10.5, visual.center().y() - 8.5, 17, 17), tint);
    }
    const qreal timeLeft = drawTime(painter, timeRow(bounds, true), input);
    const QRectF column(visual.right() + 12, inner.top(), qMax<qreal>(0, timeLeft - 12 - visual.right() - 12),
                        inner.height());
    const QFont font = shown.title.code ? HighlightedText::codeFont() : SystemFont::regular(13, QFont::Medium);
    const qreal titleHeight = QFontMetricsF(font).height();
    const qreal top = column.center().y() - (titleHeight + 4 + 18) / 2;
    if (const QRectF titleRect(column.left(), top, column.width(), titleHeight); !exposed(input, titleRect)) {
        // Left as it stands, neither laid out nor drawn.
    } else if (shown.rich && !shown.title.code) {
        drawRichTitle(painter, titleRect, shown.richTitle ? *shown.richTitle : *shown.rich,
                      FormattedTextView::surfaceColor(shown.richSurface, appearance),
                      FormattedTextView::inkColor(shown.richSurface, appearance));
    } else {
        const QList<QTextLayout::FormatRange> formats = shown.title.code ? shown.title.formats(appearance)
                                                                         : QList<QTextLayout::FormatRange>();
        drawWrapped(painter, titleRect, shown.title.text, font, TavlinTheme::primaryText.resolve(appearance), 1,
                    input.excerpts, formats);
    }
    if (const QRectF footer(column.left(), top + titleHeight + 4, column.width(), 18); exposed(input, footer))
        drawFooter(painter, footer, input);
}

void paintCardContent(QPainter& painter, const QRectF& area, const HistoryRowContent::Input& input)
{
    const Appearance& appearance = input.appearance;
    const QColor primary = TavlinTheme::primaryText.resolve(appearance);
    const QColor secondary = TavlinTheme::secondaryText.resolve(appearance);
    const RecordPresentation& shown = input.shown;
    const bool fileLike = input.clip.kind == ClipKind::file || input.clip.kind == ClipKind::other;
    painter.save();
    painter.setClipRect(area);
    if (!shown.image.isNull()) {
        const qreal height = input.clip.kind == ClipKind::file ? 70 : 112;
        drawImage(painter, QRectF(area.left(), area.top(), area.width(), qMin(height, area.height())), shown.image, 8);
        if (input.clip.kind == ClipKind::file) {
            const QRectF caption(area.left(), area.top() + height + 8, area.width(), 16);
            const std::optional<QString> size = shown.row ? CardMetadata::dimensions(shown.row->metadata)
                                                          : std::nullopt;
            const qreal sizeWidth = size ? QFontMetricsF(SystemFont::regular(11)).horizontalAdvance(*size) + 8 : 0;
            drawWrapped(painter, caption.adjusted(0, 0, -sizeWidth, 0), shown.text,
                        SystemFont::regular(12, QFont::Medium), primary, 1, input.excerpts);
            if (size) {
                painter.setFont(SystemFont::regular(11));
                painter.setPen(secondary);
                painter.drawText(caption, Qt::AlignRight | Qt::AlignVCenter, *size);
            }
        }
    } else if (fileLike) {
        drawFileIcon(painter, QRectF(area.left(), area.top(), 36, 44), input, secondary);
        drawWrapped(painter, QRectF(area.left() + 48, area.top(), area.width() - 48, area.height()), shown.text,
                    SystemFont::regular(13, QFont::Medium), primary, 3, input.excerpts, {}, Qt::ElideMiddle);
    } else if (!shown.linkHost.isEmpty()) {
        QFont hostFont = SystemFont::regular(19, QFont::DemiBold);
        hostFont.setLetterSpacing(QFont::AbsoluteSpacing, -0.3);
        const qreal hostHeight = drawWrapped(painter, area, shown.linkHost, hostFont, primary, 1, input.excerpts);
        drawWrapped(painter, area.adjusted(0, hostHeight + 8, 0, 0), shown.linkDetail, SystemFont::regular(12),
                    secondary, 3, input.excerpts);
    } else if (shown.rich) {
        const QRectF surface(area.left(), area.top(), area.width(), qMin(area.height(), 16 + 5 * 18.0));
        std::unique_ptr<QTextDocument> document(shown.rich->clone());
        document->setTextWidth(surface.width() - 16);
        // Whole lines only: the last one that fits ends the excerpt.
        const qreal excerpt = wholeLinesHeight(*document, surface.height() - 16);
        RoundedShape::fill(painter, QRectF(surface.topLeft(), QSizeF(surface.width(), excerpt + 16)), 8,
                           FormattedTextView::surfaceColor(shown.richSurface, appearance));
        painter.translate(surface.topLeft() + QPointF(8, 8));
        FormattedTextView::drawDocument(painter, *document, QRectF(0, 0, surface.width() - 16, excerpt),
                                        FormattedTextView::inkColor(shown.richSurface, appearance));
    } else if (shown.code) {
        ClipSnippetView::paintCode(painter, area, shown.highlighted, 5, appearance);
    } else {
        drawWrapped(painter, area, shown.text, SystemFont::regular(15), primary, 5, input.excerpts);
    }
    painter.restore();
}

void paintCard(QPainter& painter, const QRectF& bounds, const HistoryRowContent::Input& input)
{
    const QRectF badgeRow = cardBadgeRow(bounds);
    const QRectF inner = bounds.adjusted(16, 12, -16, -12);
    if (const QRectF content(inner.left(), inner.top(), inner.width(), badgeRow.top() - 8 - inner.top());
        exposed(input, content))
        paintCardContent(painter, content, input);
    const QSize badge = ClipTypeBadge::badgeSize(input.clip.kind);
    const qreal timeLeft = drawTime(painter, badgeRow, input);
    // On whole pixels, so that its edge is crisp. A long kind name (Russian) gives way to the time,
    // ending in an ellipsis, rather than run under it.
    const QPointF badgeOrigin(badgeRow.left(), std::round(badgeRow.center().y() - badge.height() / 2.0));
    const qreal badgeWidth = timeLeft - 6 - badgeRow.left();
    if (exposed(input, QRectF(badgeOrigin, QSizeF(qBound<qreal>(0, badgeWidth, badge.width()), badge.height()))))
        ClipTypeBadge::paint(painter, badgeOrigin, input.clip.kind, input.appearance, badgeWidth);
    if (const QRectF footer(badgeRow.left(), badgeRow.bottom() + 4, badgeRow.width(), 18); exposed(input, footer))
        drawFooter(painter, footer, input);
}

} // namespace

void HistoryRowContent::paint(QPainter& painter, const QRectF& bounds, const Input& input)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const qreal progress = input.confirmation.progress;
    CopyConfirmationGeometry::paintFill(painter, bounds, input.feedbackShape, input.appearance, progress);
    if (input.compact)
        paintCompact(painter, bounds, input);
    else
        paintCard(painter, bounds, input);
    CopyConfirmationBadge::paint(painter, badgeRect(bounds, input.compact), input.appearance, progress);
    CopyConfirmationGeometry::paintEdge(painter, bounds, input.feedbackShape, input.appearance, progress);
    painter.restore();
}

QRectF HistoryRowContent::badgeRect(const QRectF& bounds, bool compact)
{
    const QSizeF size = CopyConfirmationBadge::badgeSize();
    // A row's badge stands in its top trailing corner; a card's grows leftwards from the end of its
    // badge row, where the age is.
    const QPointF trailing = compact ? QPointF(bounds.right() - 7 - 14, bounds.top() + 2 + 7 + size.height() / 2)
                                     : QPointF(bounds.right() - 16, cardBadgeRow(bounds).center().y());
    return {trailing.x() - size.width(), trailing.y() - size.height() / 2, size.width(), size.height()};
}

QRectF HistoryRowContent::ageChangeRect(const QRectF& bounds, bool compact, const QString& before, const QString& after)
{
    const QFont font = ageFont();
    const qreal width = lineWidth(after, font);
    const QRectF row = timeRow(bounds, compact);
    // Wider by a little for glyphs that reach past their advance. A row's is as high as the row,
    // so that those of rows one above the other make one rectangle to repaint: a region of many
    // rectangles takes the painter's slow ways for everything it draws.
    const auto rowHigh = [&](QRectF rect) {
        return compact ? QRectF(rect.left(), bounds.top(), rect.width(), bounds.height()) : rect;
    };
    if (width == lineWidth(before, font))
        return rowHigh(QRectF(row.right() - width, row.top(), width, row.height()).adjusted(-2, -2, 2, 2));
    // What keeps clear of the age by its width gives way: a card's star and kind badge, a row's
    // star, title and footer. The icon and the surface's sides stay as they are.
    if (!compact)
        return row.adjusted(-2, -2, 2, 2);
    return rowHigh(compactInner(bounds).adjusted(38 + 12 - 2, 0, 2, 0));
}

QString HistoryRowContent::withLineSeparators(QString text)
{
    return TextCharacters::withLineSeparators(std::move(text));
}

std::pair<QString, QString> HistoryRowContent::footerTexts(const QFont& font, const QString& name,
                                                           const QString& detail, qreal available, bool fileLike,
                                                           const QString& shorterDetail)
{
    const qreal separator = lineWidth(QStringLiteral(" · "), font);
    // A name that would be cut beside the whole counts stays whole beside fewer of them.
    if (!fileLike && !shorterDetail.isEmpty() && shorterDetail != detail
        && lineWidth(name, font) > available - lineWidth(detail, font) - separator
        && lineWidth(name, font) <= available - lineWidth(shorterDetail, font) - separator)
        return {name, shorterDetail};
    const QFontMetricsF metrics(font);
    const qreal detailWidth = lineWidth(detail, font);
    if (!fileLike && detailWidth > available - 40)
        return {QString(), metrics.elidedText(detail, Qt::ElideRight, available)};
    const qreal kept = fileLike ? qMin(detailWidth, available * 0.6) : detailWidth;
    // Eliding can come back a fraction of a pixel wider than the room it was given; the name gives
    // up another pixel until it fits, so that the counts beside it are not cut for it. What fits
    // is kept as it stands.
    const qreal room = qMax<qreal>(0, available - kept - separator);
    QString shownName = name;
    qreal nameWidth = lineWidth(name, font);
    if (nameWidth > room) {
        // The tries are measured, not kept: only the one drawn is shaped for drawing.
        shownName = metrics.elidedText(name, Qt::ElideRight, room);
        for (qreal limit = room - 1; !shownName.isEmpty() && metrics.horizontalAdvance(shownName) > room; limit -= 1)
            shownName = limit > 0 ? metrics.elidedText(name, Qt::ElideRight, limit) : QString();
        nameWidth = metrics.horizontalAdvance(shownName);
    }
    const qreal rest = available - nameWidth - separator;
    return {shownName, detailWidth <= rest ? detail : metrics.elidedText(detail, Qt::ElideMiddle, rest)};
}

} // namespace tavlin
