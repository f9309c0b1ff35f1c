#include "ClipTypeBadge.h"

#include "ClipKindLabel.h"
#include "RoundedShape.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QLocale>
#include <QPainter>

namespace tavlin {

namespace {

constexpr int dot = 5;
constexpr int spacing = 5;
constexpr int horizontalPadding = 8;
constexpr int verticalPadding = 4;

QFont badgeFont()
{
    return SystemFont::regular(11, QFont::Medium);
}

} // namespace

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
    const QFontMetrics metrics(badgeFont());
    return {2 * horizontalPadding + dot + spacing + metrics.horizontalAdvance(displayLabel(kind)),
            2 * verticalPadding + metrics.height()};
}

void ClipTypeBadge::paint(QPainter& painter, const QPointF& origin, ClipKind kind, const Appearance& appearance,
                          qreal maxWidth)
{
    const QSizeF natural(badgeSize(kind));
    const QRectF capsule(origin, QSizeF(qMax<qreal>(0, qMin(natural.width(), maxWidth)), natural.height()));
    const qreal radius = RoundedShape::capsuleRadius(capsule);
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    RoundedShape::fill(painter, capsule, radius, TavlinTheme::elevatedSurface.resolve(appearance));
    if (appearance.highContrast)
        RoundedShape::strokeInside(painter, capsule, radius, TavlinTheme::border.resolve(appearance), 1);
    painter.setPen(Qt::NoPen);
    painter.setBrush(TavlinTheme::brandAccent.resolve(appearance));
    const qreal left = capsule.left() + horizontalPadding;
    painter.drawEllipse(QRectF(left, capsule.center().y() - dot / 2.0, dot, dot));
    painter.setFont(badgeFont());
    painter.setPen(TavlinTheme::secondaryText.resolve(appearance));
    const QRectF text(left + dot + spacing, capsule.top(), capsule.right() - horizontalPadding - left - dot - spacing,
                      capsule.height());
    const QString label = capsule.width() < natural.width()
        ? QFontMetricsF(badgeFont()).elidedText(displayLabel(kind), Qt::ElideRight, qMax<qreal>(0, text.width()))
        : displayLabel(kind);
    painter.drawText(text.adjusted(0, 0, horizontalPadding, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     label);
    painter.restore();
}

void ClipTypeBadge::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint(painter, QPointF(0, (height() - badgeSize(kind_).height()) / 2.0), kind_, ThemeAppearance::of(this));
}

} // namespace tavlin
