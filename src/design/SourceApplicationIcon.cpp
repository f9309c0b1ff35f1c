#include "SourceApplicationIcon.h"

#include "ClipKindLabel.h"
#include "SymbolIcon.h"
#include "Workspace.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QPainter>

namespace tavlin {

namespace {

QIcon applicationIcon(const QString& iconName)
{
    if (iconName.isEmpty())
        return QIcon::fromTheme(QStringLiteral("application-x-executable"));
    if (QFileInfo(iconName).isAbsolute())
        return QIcon(iconName);
    return QIcon::fromTheme(iconName, QIcon::fromTheme(QStringLiteral("application-x-executable")));
}

} // namespace

SourceApplicationIcon::SourceApplicationIcon(const Workspace& workspace) : workspace_(workspace)
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

    auto value = std::make_shared<Value>();
    const std::optional<ApplicationInfo> application = bundleID ? workspace_.application(*bundleID) : std::nullopt;
    if (application) {
        value->image = applicationIcon(application->iconName);
        // An icon the theme cannot draw would leave an empty space: the kind's symbol stands in.
        if (value->image.pixmap(QSize(18, 18)).isNull()) {
            value->image = QIcon();
            value->symbol = SymbolIcon::forKind(fallback);
        }
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
