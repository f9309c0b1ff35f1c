#include "TavlinBrandAssets.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace tavlin {

QSvgRenderer& TavlinBrandAssets::mascot()
{
    static QSvgRenderer renderer(QStringLiteral(":/design/brand/TavlinMascot.svg"));
    return renderer;
}

QSvgRenderer& TavlinBrandAssets::wordmark()
{
    static QSvgRenderer renderer(QStringLiteral(":/design/brand/TavlinWordmark.svg"));
    return renderer;
}

QSvgRenderer& TavlinBrandAssets::menuBarGhost()
{
    static QSvgRenderer renderer(QStringLiteral(":/design/brand/MenuBarGhost.svg"));
    return renderer;
}

QPixmap TavlinBrandAssets::drawn(QSvgRenderer& artwork, const QSize& size, qreal ratio)
{
    QImage image((QSizeF(size) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    const QSizeF fitted = QSizeF(artwork.defaultSize()).scaled(QSizeF(size), Qt::KeepAspectRatio);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    artwork.render(&painter,
                   QRectF(QPointF((size.width() - fitted.width()) / 2, (size.height() - fitted.height()) / 2), fitted));
    painter.end();
    return QPixmap::fromImage(image);
}

} // namespace tavlin
