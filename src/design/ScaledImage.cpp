#include "ScaledImage.h"

#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>

namespace tavlin {

void ScaledImage::draw(QPainter& painter, const QRectF& target, const QImage& image)
{
    if (image.isNull() || target.isEmpty())
        return;
    // In device pixels, so that a scaled painter or a high-density screen still gets a sharp copy.
    const QSize pixels = painter.deviceTransform().mapRect(target).size().toSize().expandedTo({1, 1});
    // The cache key names the image's data, which stays the same while a presentation is kept.
    const QString key =
        QStringLiteral("tavlin.scaled.%1.%2x%3").arg(image.cacheKey()).arg(pixels.width()).arg(pixels.height());
    QPixmap scaled;
    if (!QPixmapCache::find(key, &scaled)) {
        scaled = QPixmap::fromImage(image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        QPixmapCache::insert(key, scaled);
    }
    painter.drawPixmap(target, scaled, QRectF(scaled.rect()));
}

} // namespace tavlin
