#include "SourceApplicationIcon.h"

#include "ApplicationIconImages.h"
#include "ClipKindLabel.h"
#include "SymbolIcon.h"
#include "Workspace.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QPainter>
#include <QPixmap>

namespace tavlin {

SourceApplicationIcon::SourceApplicationIcon(const Workspace& workspace, const ApplicationIconImages& images)
    : workspace_(workspace), images_(images)
{
}

QString SourceApplicationIcon::cacheKey(const std::optional<QString>& bundleID, ClipKind kind)
{
    return bundleID.value_or(QStringLiteral("unknown")) + u'-' + toRaw(kind);
}

QString SourceApplicationIcon::applicationName(const ApplicationInfo& application)
{
    if (!application.name.trimmed().isEmpty())
        return application.name;
    QString fileName = QFileInfo(application.desktopFilePath).fileName();
    if (fileName.endsWith(QStringLiteral(".desktop")))
        fileName.chop(8);
    return fileName.isEmpty() ? application.id : fileName;
}

std::shared_ptr<const SourceApplicationIcon::Value> SourceApplicationIcon::resolve(
    const std::optional<QString>& bundleID, ClipKind fallback) const
{
    const QString key = cacheKey(bundleID, fallback);
    if (auto* cached = cache_.object(key))
        return *cached;
    const std::optional<ApplicationInfo> application = bundleID ? workspace_.application(*bundleID) : std::nullopt;
    if (!application)
        return resolved(key, bundleID, fallback, std::nullopt, {});
    if (const std::optional<QIcon> decoded = icon(application->iconName))
        return resolved(key, bundleID, fallback, application, *decoded);
    auto pending = std::make_shared<Value>();
    pending->name = applicationName(*application);
    pending->applicationURL = QUrl::fromLocalFile(application->desktopFilePath);
    pending->accessibilityDescription = pending->name;
    return pending;
}

const QList<int>& SourceApplicationIcon::decodedEdges()
{
    static const QList<int> edges{18, 20, 24, 36, 40, 48};
    return edges;
}

std::optional<QIcon> SourceApplicationIcon::icon(const QString& iconName) const
{
    return decoded(applicationIcons_, iconName, [&] { return images_.applicationIcon(iconName, decodedEdges()); });
}

std::optional<QIcon> SourceApplicationIcon::fileTypeIcon(const QString& fileName) const
{
    // Types go by extension, so that each is decoded once however many files show it.
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    // A row's, a card's, at one and two device pixels a point.
    static const QList<int> edges{32, 36, 64, 72};
    return decoded(fileTypeIcons_, suffix, [&] { return images_.fileTypeIcon(suffix, edges); });
}

std::optional<QIcon> SourceApplicationIcon::decoded(Decoded& kept, const QString& key,
                                                    const std::function<QFuture<QList<QImage>>()>& load) const
{
    if (const QIcon* icon = kept.icons.object(key))
        return *icon;
    if (kept.pending.contains(key))
        return std::nullopt;
    kept.pending.insert(key);
    load().then(const_cast<SourceApplicationIcon*>(this), [this, &kept, key](const QList<QImage>& images) {
        kept.pending.remove(key);
        QIcon icon;
        qsizetype bytes = 0;
        for (const QImage& image : images) {
            icon.addPixmap(QPixmap::fromImage(image));
            bytes += image.sizeInBytes();
        }
        kept.icons.insert(key, new QIcon(icon), std::max<qsizetype>(1, bytes / 1024));
        announceArrivals();
    });
    return std::nullopt;
}

void SourceApplicationIcon::announceArrivals() const
{
    // An icon decoded before it was waited for arrives while it is being asked for, inside a
    // caller's loop over what it shows: the word comes from the event loop, once for all that
    // arrived meanwhile.
    if (announcing_)
        return;
    announcing_ = true;
    QMetaObject::invokeMethod(
        const_cast<SourceApplicationIcon*>(this),
        [this] {
            announcing_ = false;
            // Values are const to their readers; the signal only asks them to look again.
            Q_EMIT const_cast<SourceApplicationIcon*>(this)->iconsArrived();
        },
        Qt::QueuedConnection);
}

std::shared_ptr<const SourceApplicationIcon::Value> SourceApplicationIcon::resolved(
    const QString& key, const std::optional<QString>& bundleID, ClipKind fallback,
    const std::optional<ApplicationInfo>& application, const QIcon& icon) const
{
    auto value = std::make_shared<Value>();
    if (application) {
        value->image = icon;
        // An icon that could not be decoded would leave an empty space: the kind's symbol stands in.
        if (value->image.isNull())
            value->symbol = SymbolIcon::forKind(fallback);
        value->name = applicationName(*application);
        value->applicationURL = QUrl::fromLocalFile(application->desktopFilePath);
        value->accessibilityDescription = value->name;
    } else {
        value->symbol = SymbolIcon::forKind(fallback);
        // An application no longer installed goes by its identifier, as in the preview and the
        // Apps filter: one name for one source everywhere.
        value->name = bundleID ? *bundleID : QCoreApplication::translate("Tavlin", "Unknown source");
        value->accessibilityDescription = QLocale().toUpper(displayLabel(fallback));
    }
    std::shared_ptr<const Value> shared = value;
    cache_.insert(key, new std::shared_ptr<const Value>(shared));
    return shared;
}

void SourceApplicationIcon::Value::paint(QPainter& painter, const QRectF& rect, const QColor& symbolColor) const
{
    if (!symbol.isEmpty()) {
        SymbolIcon::paint(painter, symbol, rect, symbolColor);
        return;
    }
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QPixmap pixmap = image.pixmap(rect.size().toSize(), ratio);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSizeF shown = pixmap.deviceIndependentSize().scaled(rect.size(), Qt::KeepAspectRatio);
    painter.drawPixmap(QRectF(rect.center() - QPointF(shown.width() / 2, shown.height() / 2), shown), pixmap,
                       QRectF(pixmap.rect()));
    painter.restore();
}

} // namespace tavlin
