#pragma once

#include "Clip.h"
#include "ClipRowPresentation.h"
#include "ClipTextSnippet.h"
#include "RichTextPresentation.h"

#include <QImage>
#include <QString>

#include <memory>
#include <optional>

class QTextDocument;

namespace tavlin {

// What a list row, a card or a Quick Panel row shows of one record, worked out once per record
// and bounded in size: nothing in it grows with the record's length, so painting it costs the
// same for a word as for a megabyte.
struct RecordPresentation {
    // A card shows at most this many characters; rows and names fewer.
    static constexpr qsizetype textCharacters = 1200;
    static constexpr qsizetype titleCharacters = 160;
    static constexpr qsizetype summaryCharacters = 600;
    static constexpr qsizetype tooltipCharacters = 400;
    static constexpr int tooltipLines = 8;

    // The stored presentation it was made from; none until it loads.
    std::optional<ClipRowPresentation> row;
    // The head of the display text.
    QString text;
    // Whether the display text reads as code.
    bool code = false;
    // The head coloured by token, for a card that shows code.
    HighlightedText highlighted;
    // A compact row's one line: coloured (and in the code font) when it is code.
    HighlightedText title;
    // A link's host and the rest of its address; empty for anything else.
    QString linkHost;
    QString linkDetail;
    // The rich text cut for a card; none when it does not read.
    std::shared_ptr<const QTextDocument> rich;
    // The useful line of rich text that reads as code, in its own fonts and colours, for a
    // compact row's title; none otherwise (the row shows the first line of `rich`).
    std::shared_ptr<const QTextDocument> richTitle;
    RichTextPresentation::Surface richSurface = RichTextPresentation::Surface::white;
    // The stored row's image, as the repository decoded it; null when there is none or it does not
    // decode.
    QImage image;
    // The Quick Panel's one line, its tooltip, and the name assistive technology reads.
    QString summary;
    QString tooltip;
    QString accessibleName;

    static RecordPresentation of(const Clip& clip, const std::optional<ClipRowPresentation>& row);

    // The first file name, else the first line of the first 600 characters that is not a lone
    // opening brace or bracket.
    static QString summaryOf(const Clip& clip, const std::optional<ClipRowPresentation>& row);
    // At most 400 characters in at most 8 lines, ending in "…" when the text goes on.
    static QString tooltipOf(const QString& text);
    // "LINK: https://…": the kind's label in capitals and at most 160 characters of the text.
    static QString accessibleNameOf(const Clip& clip);
    // The first line of a text that is not blank and not a lone brace or bracket (its range).
    static std::optional<std::pair<qsizetype, qsizetype>> usefulLine(const QString& text);
};

} // namespace tavlin
