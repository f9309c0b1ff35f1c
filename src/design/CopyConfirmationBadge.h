#pragma once

#include "Appearance.h"

#include <QRectF>
#include <QString>

class QPainter;

namespace tavlin {

// The small "Copied" capsule with a check mark that a row shows in place of its timestamp while
// its copy is confirmed. Assistive technology finds it as one element named "Copied" with the
// identifier "copy-confirmation-<id>".
struct CopyConfirmationBadge {
    static QSize badgeSize();
    // Draws the badge with its trailing edge at `trailing`'s right, centred vertically; `progress`
    // (0 to 1) fades and grows it in, from a scale of 0.92 anchored at the trailing edge.
    static void paint(QPainter& painter, const QRectF& trailing, const Appearance& appearance, qreal progress);
    static QString text();
    static QString identifier(qint64 clipID) { return QStringLiteral("copy-confirmation-%1").arg(clipID); }
};

} // namespace tavlin
