#include "GhostView.h"

#include "TavlinBrandAssets.h"

#include <QPainter>
#include <QSvgRenderer>

namespace tavlin {

GhostView::GhostView(int size, QWidget* parent)
    : QWidget(parent)
    , m_size(size)
{
    setFixedSize(size, size);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QSize GhostView::sizeHint() const
{
    return {m_size, m_size};
}

void GhostView::paintEvent(QPaintEvent*)
{
    QSvgRenderer& mascot = TavlinBrandAssets::mascot();
    const QSizeF fitted = QSizeF(mascot.defaultSize()).scaled(QSizeF(m_size, m_size), Qt::KeepAspectRatio);
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    mascot.render(&painter, QRectF(QPointF((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted));
}

} // namespace tavlin
