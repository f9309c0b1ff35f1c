#include "SymbolTile.h"

#include "AssistiveRoles.h"
#include "RoundedShape.h"
#include "SymbolIcon.h"
#include "ThemeAppearance.h"

#include <QPainter>

namespace tavlin {

SymbolTile::SymbolTile(const QString& name, qreal side, QSize frame, const ThemeColor& color, QWidget* parent)
    : QWidget(parent), name_(name), side_(side), frame_(frame), color_(color)
{
    setFixedSize(frame);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    AssistiveRoles::markDecorative(this);
}

void SymbolTile::setColor(const ThemeColor& color)
{
    color_ = color;
    update();
}

void SymbolTile::setTile(const ThemeColor& fill, qreal radius)
{
    tile_ = fill;
    tileRadius_ = radius;
    update();
}

void SymbolTile::paintEvent(QPaintEvent*)
{
    const Appearance appearance = ThemeAppearance::of(this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (tile_)
        RoundedShape::fill(painter, rect(), tileRadius_, tile_->resolve(appearance));
    const QRectF square(QRectF(rect()).center() - QPointF(side_ / 2, side_ / 2), QSizeF(side_, side_));
    SymbolIcon::paint(painter, name_, square, color_.resolve(appearance));
}

} // namespace tavlin
