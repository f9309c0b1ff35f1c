#include "SymbolIcon.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

#include <memory>

namespace tavlin {

namespace {

QString resourcePath(const QString& name)
{
    return QStringLiteral(":/design/symbols/%1.svg").arg(name);
}

// One renderer a symbol, parsed on first use.
QSvgRenderer* renderer(const QString& name)
{
    static QHash<QString, std::shared_ptr<QSvgRenderer>> renderers;
    auto found = renderers.find(name);
    if (found == renderers.end()) {
        std::shared_ptr<QSvgRenderer> loaded;
        if (QFile::exists(resourcePath(name)))
            loaded = std::make_shared<QSvgRenderer>(resourcePath(name));
        found = renderers.insert(name, loaded && loaded->isValid() ? loaded : nullptr);
    }
    return found->get();
}

} // namespace

void SymbolIcon::prepare()
{
    for (const QString& file : QDir(QStringLiteral(":/design/symbols")).entryList({QStringLiteral("*.svg")}))
        renderer(file.chopped(4));
}

bool SymbolIcon::exists(const QString& name)
{
    return renderer(name) != nullptr;
}

QPixmap SymbolIcon::pixmap(const QString& name, int size, const QColor& color, qreal devicePixelRatio)
{
    // Rows and buttons draw the same few symbols in the same few colours on every paint: each is
    // rendered from its SVG once.
    const QString key =
        QStringLiteral("tavlin-symbol:%1:%2:%3:%4").arg(name).arg(size).arg(color.rgba()).arg(devicePixelRatio);
    QPixmap cached;
    if (QPixmapCache::find(key, &cached))
        return cached;
    const int device = qMax(1, qRound(size * devicePixelRatio));
    QImage image(device, device, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (QSvgRenderer* svg = renderer(name)) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg->render(&painter, QRectF(0, 0, device, device));
        // The artwork is black; the colour replaces it where it covers, keeping its coverage.
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(image.rect(), color);
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

void SymbolIcon::paint(QPainter& painter, const QString& name, const QRectF& rect, const QColor& color)
{
    if (!exists(name) || rect.isEmpty())
        return;
    const qreal side = qMin(rect.width(), rect.height());
    const QRectF square(rect.center().x() - side / 2, rect.center().y() - side / 2, side, side);
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QPixmap image = pixmap(name, qCeil(side), color, ratio);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(square, image, QRectF(QPointF(0, 0), QSizeF(image.size())));
    painter.restore();
}

QIcon SymbolIcon::icon(const QString& name, const QColor& color)
{
    QIcon icon;
    for (int size : {16, 18, 24, 32, 48})
        icon.addPixmap(pixmap(name, size, color));
    return icon;
}

QString SymbolIcon::forKind(ClipKind kind)
{
    switch (kind) {
    case ClipKind::text: return QStringLiteral("text.alignleft");
    case ClipKind::richText: return QStringLiteral("textformat");
    case ClipKind::link: return QStringLiteral("link");
    case ClipKind::image: return QStringLiteral("photo");
    case ClipKind::file: return QStringLiteral("doc");
    case ClipKind::other: return QStringLiteral("doc.richtext");
    }
    return QStringLiteral("doc.richtext");
}

} // namespace tavlin
