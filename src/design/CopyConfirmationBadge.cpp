#include "CopyConfirmationBadge.h"

#include "MarkedCapsule.h"
#include "RoundedShape.h"
#include "SymbolIcon.h"
#include "TavlinTheme.h"

#include <QCoreApplication>
#include <QPainter>

namespace tavlin {

QString CopyConfirmationBadge::text()
{
    return QCoreApplication::translate("Tavlin", "Copied");
}

QSize CopyConfirmationBadge::badgeSize()
{
    return MarkedCapsule::copyConfirmation().size(text());
}

void CopyConfirmationBadge::paint(QPainter& painter, const QRectF& trailing, const Appearance& appearance,
                                  qreal progress)
{
    if (progress <= 0)
        return;
    const QSizeF size = badgeSize();
    const QRectF capsule(trailing.right() - size.width(), trailing.center().y() - size.height() / 2, size.width(),
                         size.height());
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setOpacity(painter.opacity() * progress);
    const qreal scale = 0.92 + 0.08 * progress;
    const QPointF anchor(capsule.right(), capsule.center().y());
    painter.translate(anchor);
    painter.scale(scale, scale);
    painter.translate(-anchor);

    const QColor accent = TavlinTheme::brandAccent.resolve(appearance);
    const qreal radius = RoundedShape::capsuleRadius(capsule);
    RoundedShape::fill(painter, capsule, radius, TavlinTheme::copyConfirmationBadge.resolve(appearance));
    QColor outline = accent;
    outline.setAlphaF(outline.alphaF() * 0.35f);
    RoundedShape::strokeInside(painter, capsule, radius, outline, 1);

    const MarkedCapsule layout = MarkedCapsule::copyConfirmation();
    SymbolIcon::paint(painter, QStringLiteral("checkmark"), layout.markRect(capsule), accent);
    painter.setPen(accent);
    layout.drawLabel(painter, capsule, text());
    painter.restore();
}

} // namespace tavlin
