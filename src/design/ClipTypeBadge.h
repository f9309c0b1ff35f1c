#pragma once

#include <limits>

#include "Appearance.h"
#include "ClipKind.h"

#include <QWidget>

class QPainter;

namespace tavlin {

// The small capsule naming a record's kind, with an accent dot; outlined under increased
// contrast. Its tooltip is the name in capitals.
class ClipTypeBadge : public QWidget {
    Q_OBJECT
public:
    explicit ClipTypeBadge(ClipKind kind, QWidget* parent = nullptr);

    ClipKind kind() const { return kind_; }
    QSize sizeHint() const override { return badgeSize(kind_); }
    QSize minimumSizeHint() const override { return badgeSize(kind_); }

    static QSize badgeSize(ClipKind kind);
    // Draws the badge with its top-left corner at `origin`, for views that paint their cards.
    // Within `maxWidth` the capsule narrows and its label ends in an ellipsis.
    static void paint(QPainter& painter, const QPointF& origin, ClipKind kind, const Appearance& appearance,
                      qreal maxWidth = std::numeric_limits<qreal>::infinity());
    static QString capitalizedLabel(ClipKind kind);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ClipKind kind_;
};

} // namespace tavlin
