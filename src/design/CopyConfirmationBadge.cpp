#include "CopyConfirmationBadge.h"

#include "RoundedShape.h"
#include "SymbolIcon.h"
#include "SystemFont.h"
#include "TavlinTheme.h"

#include <QCoreApplication>
#include <QPainter>

namespace tavlin {

namespace {

constexpr int horizontalPadding = 9;
constexpr int badgeHeight = 22;
constexpr int checkSize = 10;
constexpr int spacing = 4;

QFont badgeFont()
{
    return SystemFont::regular(11, QFont::DemiBold);
}

} // namespace

QString CopyConfirmationBadge::text()
{
    return QCoreApplication::translate("Tavlin", "Copied");
}

QSize CopyConfirmationBadge::badgeSize()
{
    const int textWidth = QFontMetrics(badgeFont()).horizontalAdvance(text());
    return {2 * horizontalPadding + checkSize + spacing + textWidth, badgeHeight};
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

    const QRectF check(capsule.left() + horizontalPadding, capsule.center().y() - checkSize / 2.0, checkSize,
                       checkSize);
    SymbolIcon::paint(painter, QStringLiteral("checkmark"), check, accent);
    painter.setFont(badgeFont());
    painter.setPen(accent);
    painter.drawText(QRectF(check.right() + spacing, capsule.top(), capsule.right() - check.right(), capsule.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
    painter.restore();
}

} // namespace tavlin
