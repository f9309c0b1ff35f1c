#include "ThemedLabel.h"

#include "ThemeAppearance.h"

#include <QEvent>

namespace tavlin {

ThemedLabel::ThemedLabel(const QString& text, const QFont& font, const ThemeColor& color, QWidget* parent)
    : QLabel(text, parent), color_(color)
{
    setFont(font);
    setTextFormat(Qt::PlainText);
    applyColor();
}

void ThemedLabel::setColor(const ThemeColor& color)
{
    color_ = color;
    applyColor();
}

void ThemedLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange)
        applyColor();
}

void ThemedLabel::showEvent(QShowEvent* event)
{
    applyColor();
    QLabel::showEvent(event);
}

void ThemedLabel::applyColor()
{
    const QColor color = color_.resolve(ThemeAppearance::of(this));
    if (palette().color(QPalette::WindowText) == color)
        return; // also ends the change event that setting the palette sends
    QPalette themed = palette();
    themed.setColor(QPalette::WindowText, color);
    themed.setColor(QPalette::Text, color);
    setPalette(themed);
}

} // namespace tavlin
