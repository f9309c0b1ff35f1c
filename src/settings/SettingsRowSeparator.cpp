#include "SettingsRowSeparator.h"

#include "SettingsAccessibility.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QPainter>

namespace tavlin {

SettingsRowSeparator::SettingsRowSeparator(QWidget* parent) : QWidget(parent)
{
    setFixedHeight(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    SettingsAccessibility::markDecorative(this);
}

void SettingsRowSeparator::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // Half a pixel of the border colour: the full pixel at half its opacity.
    QColor color = TavlinTheme::border.resolve(ThemeAppearance::of(this));
    color.setAlphaF(color.alphaF() * 0.5f * float(devicePixelRatioF()));
    painter.fillRect(QRectF(48, 0, qMax(0, width() - 48 - 16), 1), color);
}

} // namespace tavlin
