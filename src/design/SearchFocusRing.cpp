#include "SearchFocusRing.h"

#include "RoundedShape.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QPainter>

namespace tavlin {

SearchFocusRing::SearchFocusRing(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void SearchFocusRing::setFocused(bool focused)
{
    if (focused == focused_)
        return;
    focused_ = focused;
    update();
}

qreal SearchFocusRing::lineWidth(bool focused, bool increasedContrast)
{
    return focused || increasedContrast ? 2.0 : 0.5;
}

void SearchFocusRing::resizeEvent(QResizeEvent*)
{
    // Only the band the outline takes, so that the caret blinking in the field below repaints
    // no outline.
    const int ends = height() / 2;
    setMask(QRegion(rect()) - QRegion(rect().adjusted(ends, 3, -ends, -3)));
}

void SearchFocusRing::paintEvent(QPaintEvent*)
{
    const Appearance appearance = ThemeAppearance::of(this);
    const QColor color = (focused_ ? TavlinTheme::brandAccent : TavlinTheme::border).resolve(appearance);
    QPainter painter(this);
    const QRectF bounds(rect());
    RoundedShape::strokeInside(painter, bounds, RoundedShape::capsuleRadius(bounds), color,
                               lineWidth(focused_, appearance.highContrast));
}

} // namespace tavlin
