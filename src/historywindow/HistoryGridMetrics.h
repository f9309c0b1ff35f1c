#pragma once

#include "Clip.h"
#include "RecordPresentation.h"

#include <QFont>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QTextDocument;

namespace tavlin {

// Where the cards of the history grid go and how tall each is. Pure: the text height comes from
// an injected measurer, so the rules hold without a screen.
struct HistoryGridMetrics {
    static constexpr qreal baseWidth = 236;
    static constexpr qreal gap = 12;
    static constexpr qreal pitch = baseWidth + gap;
    static constexpr qreal margin = 12;
    static constexpr qreal tightMargin = 2;
    static constexpr qreal defaultHeight = 190;
    static constexpr qreal minimumHeight = 128;
    static constexpr int lineLimit = 5;

    // What decides a card's height.
    struct Measurement {
        // The height when it does not depend on the text.
        std::optional<qreal> fixedHeight;
        // The text to wrap: plain text in `font`, or the rich document (already cut).
        QString text;
        QFont font;
        std::shared_ptr<const QTextDocument> rich;
        qreal inset = 0;
        qreal lineHeight = 18;

        static Measurement of(const Clip& clip, const RecordPresentation& shown);
    };

    // The wrapped height of a measurement's text at a width.
    using TextMeasurer = std::function<qreal(const Measurement&, qreal width)>;
    // Lays the text out with QTextLayout / QTextDocument.
    static qreal measureText(const Measurement& measurement, qreal width);

    // W: the content width; C: the visible container width, when there is one.
    static int columns(qreal width, std::optional<qreal> containerWidth);
    static qreal cardWidth(qreal width, int columns);
    static qreal leftMargin(qreal width, int columns);
    static qreal height(const Measurement& measurement, qreal cardWidth, const TextMeasurer& measurer = measureText);

    // The card an arrow key moves to from `current` (never wraps).
    static int arrowTarget(Qt::Key key, int current, int columns, int count);
};

} // namespace tavlin
