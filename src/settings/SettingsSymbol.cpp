#include "SettingsSymbol.h"

#include "RoundedShape.h"
#include "SettingsAccessibility.h"
#include "SymbolIcon.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QPainter>

namespace tavlin {

SettingsSymbol::SettingsSymbol(const QString& name, int pointSize, QSize frame, QWidget* parent)
    : QWidget(parent), name_(name), pointSize_(pointSize), color_(TavlinTheme::brandAccent)
{
    setFixedSize(frame);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    SettingsAccessibility::markDecorative(this);
}

void SettingsSymbol::setColor(const ThemeColor& color)
{
    color_ = color;
    update();
}

void SettingsSymbol::setTile(const ThemeColor& fill, qreal radius)
{
    tile_ = fill;
    radius_ = radius;
    update();
}

void SettingsSymbol::paintEvent(QPaintEvent*)
{
    const Appearance appearance = ThemeAppearance::of(this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (tile_)
        RoundedShape::fill(painter, rect(), radius_, tile_->resolve(appearance));
    // A symbol of a font size fills about that many pixels.
    const qreal side = pointSize_ * 1.15;
    const QRectF box(QRectF(rect()).center() - QPointF(side / 2, side / 2), QSizeF(side, side));
    SymbolIcon::paint(painter, name_, box, color_.resolve(appearance));
}

} // namespace tavlin
