#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QRectF>
#include <QSize>

namespace tavlin {

// The layout of the small capsules that lead with a mark (the kind badge's dot, the copy
// confirmation's check) before a one-line label.
struct MarkedCapsule {
    QFont font;
    // Before the mark and after the label.
    int padding = 0;
    // The mark's width and height.
    int mark = 0;
    // Between the mark and the label.
    int spacing = 0;
    int height = 0;

    // The kind badge's, and the "Copied" confirmation's.
    static MarkedCapsule kindBadge();
    static MarkedCapsule copyConfirmation();

    QSize size(const QString& label) const
    {
        return {2 * padding + mark + spacing + QFontMetrics(font).horizontalAdvance(label), height};
    }
    QRectF markRect(const QRectF& capsule) const
    {
        return {capsule.left() + padding, capsule.center().y() - mark / 2.0, qreal(mark), qreal(mark)};
    }
    // Where the label goes: from the mark to the padding at the capsule's end.
    QRectF labelRect(const QRectF& capsule) const
    {
        const qreal left = capsule.left() + padding + mark + spacing;
        return {left, capsule.top(), capsule.right() - padding - left, capsule.height()};
    }
    // Draws the label with the painter's pen; it may run into the end padding, so that rounding
    // never cuts its last letter.
    void drawLabel(QPainter& painter, const QRectF& capsule, const QString& label) const
    {
        painter.setFont(font);
        painter.drawText(labelRect(capsule).adjusted(0, 0, padding, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, label);
    }
};

} // namespace tavlin
