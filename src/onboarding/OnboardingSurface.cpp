#include "OnboardingSurface.h"

#include "RoundedShape.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QPainter>

namespace tavlin {

OnboardingSurface::OnboardingSurface(double cornerRadius, QWidget* parent)
    : QWidget(parent), cornerRadius_(cornerRadius)
{
}

void OnboardingSurface::paintEvent(QPaintEvent*)
{
    const Appearance appearance = ThemeAppearance::of(this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect()).adjusted(0, 0, 0, -1);
    RoundedShape::fill(painter, card.translated(0, 1), cornerRadius_, QColor(0, 0, 0, 8));
    RoundedShape::fill(painter, card, cornerRadius_, TavlinTheme::contentSurface.resolve(appearance));
    if (appearance.highContrast)
        RoundedShape::strokeInside(painter, card, cornerRadius_, TavlinTheme::brandAccent.resolve(appearance), 1.5);
    else
        RoundedShape::strokeInside(painter, card, cornerRadius_, TavlinTheme::border.resolve(appearance), 0.5);
}

} // namespace tavlin
