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

ClipTypeBadge::ClipTypeBadge(ClipKind kind, QWidget* parent)
    : QWidget(parent)
    , kind_(kind)
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

void ClipTypeBadge::paint(QPainter& painter, const QPointF& origin, ClipKind kind, const Appearance& appearance)
{
    const QRectF capsule(origin, QSizeF(badgeSize(kind)));
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
    painter.drawText(
        QRectF(left + dot + spacing, capsule.top(), capsule.right() - left - dot - spacing, capsule.height()),
        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, displayLabel(kind));
    painter.restore();
}

void ClipTypeBadge::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint(painter, QPointF(0, (height() - badgeSize(kind_).height()) / 2.0), kind_, ThemeAppearance::of(this));
}

} // namespace tavlin
