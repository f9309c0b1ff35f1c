#include "OnboardingSymbol.h"

#include "RoundedShape.h"
#include "SymbolIcon.h"
#include "ThemeAppearance.h"

#include <QPainter>

namespace tavlin {

OnboardingSymbol::OnboardingSymbol(const QString& name, double symbolSize, QSize frame, const ThemeColor& color, QWidget* parent)
    : QWidget(parent)
    , name_(name)
    , symbolSize_(symbolSize)
    , frame_(frame)
    , color_(color)
{
    setFixedSize(frame);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void OnboardingSymbol::setTile(const ThemeColor& color, double radius)
{
    tile_ = color;
    tileRadius_ = radius;
    update();
}

void OnboardingSymbol::paintEvent(QPaintEvent*)
{
    const Appearance appearance = ThemeAppearance::of(this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (tile_)
        RoundedShape::fill(painter, rect(), tileRadius_, tile_->resolve(appearance));
    const QPointF centre = QRectF(rect()).center();
    const QRectF square(centre - QPointF(symbolSize_ / 2, symbolSize_ / 2), QSizeF(symbolSize_, symbolSize_));
    SymbolIcon::paint(painter, name_, square, color_.resolve(appearance));
}

} // namespace tavlin
