#include "ClipTypeBadge.h"

#include "ClipKindLabel.h"
#include "MarkedCapsule.h"
#include "RoundedShape.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QLocale>
#include <QPainter>

namespace tavlin {

ClipTypeBadge::ClipTypeBadge(ClipKind kind, QWidget* parent) : QWidget(parent), kind_(kind)
{
    setObjectName(QStringLiteral("clip-type-badge"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setToolTip(capitalizedLabel(kind));
    setAccessibleName(displayLabel(kind));
}

QString ClipTypeBadge::capitalizedLabel(ClipKind kind)
{
    return QLocale().toUpper(displayLabel(kind));
}

QSize ClipTypeBadge::badgeSize(ClipKind kind)
{
    return MarkedCapsule::kindBadge().size(displayLabel(kind));
}

void ClipTypeBadge::paint(QPainter& painter, const QPointF& origin, ClipKind kind, const Appearance& appearance,
                          qreal maxWidth)
{
    const MarkedCapsule layout = MarkedCapsule::kindBadge();
    const QSizeF natural(badgeSize(kind));
    const QRectF capsule(origin, QSizeF(qMax<qreal>(0, qMin(natural.width(), maxWidth)), natural.height()));
    const qreal radius = RoundedShape::capsuleRadius(capsule);
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    RoundedShape::fill(painter, capsule, radius, TavlinTheme::elevatedSurface.resolve(appearance));
    if (appearance.highContrast)
        RoundedShape::strokeInside(painter, capsule, radius, TavlinTheme::contrastEdge.resolve(appearance), 1);
    painter.setPen(Qt::NoPen);
    painter.setBrush(TavlinTheme::brandAccent.resolve(appearance));
    painter.drawEllipse(layout.markRect(capsule));
    painter.setPen(TavlinTheme::secondaryText.resolve(appearance));
    const QString label = capsule.width() < natural.width()
        ? QFontMetricsF(layout.font)
              .elidedText(displayLabel(kind), Qt::ElideRight, qMax<qreal>(0, layout.labelRect(capsule).width()))
        : displayLabel(kind);
    layout.drawLabel(painter, capsule, label);
    painter.restore();
}

void ClipTypeBadge::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint(painter, QPointF(0, (height() - badgeSize(kind_).height()) / 2.0), kind_, ThemeAppearance::of(this));
}

} // namespace tavlin
