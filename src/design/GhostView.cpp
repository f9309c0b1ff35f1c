#include "GhostView.h"

#include "AssistiveRoles.h"
#include "TavlinBrandAssets.h"

#include <QPainter>
#include <QSvgRenderer>

namespace tavlin {

GhostView::GhostView(int size, QWidget* parent) : QWidget(parent), size_(size)
{
    setFixedSize(size, size);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // The mascot only decorates: the window's name and texts say everything it stands for.
    AssistiveRoles::markDecorative(this);
}

QSize GhostView::sizeHint() const
{
    return {size_, size_};
}

void GhostView::paintEvent(QPaintEvent*)
{
    QSvgRenderer& mascot = TavlinBrandAssets::mascot();
    const QSizeF fitted = QSizeF(mascot.defaultSize()).scaled(QSizeF(size_, size_), Qt::KeepAspectRatio);
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    mascot.render(&painter, QRectF(QPointF((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted));
}

} // namespace tavlin
