#include "ElidedLabel.h"

#include "ThemeAppearance.h"

#include <QPainter>

namespace tavlin {

ElidedLabel::ElidedLabel(const QString& text, const QFont& font, const ThemeColor& color, Qt::TextElideMode mode,
                         QWidget* parent)
    : QWidget(parent), color_(color), mode_(mode)
{
    setFont(font);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setText(text);
}

void ElidedLabel::setText(const QString& text)
{
    text_ = text;
    setToolTip(text);
    setAccessibleName(text);
    updateGeometry();
    update();
}

void ElidedLabel::setAlignment(Qt::Alignment alignment)
{
    alignment_ = alignment;
    update();
}

QString ElidedLabel::shownText() const
{
    return fontMetrics().elidedText(text_, mode_, width());
}

QSize ElidedLabel::sizeHint() const
{
    return {fontMetrics().horizontalAdvance(text_) + 1, fontMetrics().height()};
}

QSize ElidedLabel::minimumSizeHint() const
{
    return {qMin(sizeHint().width(), fontMetrics().horizontalAdvance(QStringLiteral("W…W"))), fontMetrics().height()};
}

void ElidedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(color_.resolve(ThemeAppearance::of(this)));
    painter.drawText(QRectF(rect()), alignment_ | Qt::AlignVCenter | Qt::TextSingleLine, shownText());
}

} // namespace tavlin
