#include "IconThemeImages.h"

#include "RegularFile.h"

#include <QBuffer>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QHash>
#include <QIcon>
#include <QImageReader>
#include <QMap>
#include <QMimeDatabase>
#include <QMutex>
#include <QPainter>
#include <QSet>
#include <QSettings>
#include <QSvgRenderer>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace tavlin {

namespace {

const QStringList extensions{QStringLiteral(".png"), QStringLiteral(".svg"), QStringLiteral(".xpm")};

// What any other program may have put there is looked at before it is opened: a pipe or a device
// would hold the reader until its writer decides, and only a regular file is ever opened.
bool isSmallRegularFile(const QString& path, qint64 limit)
{
    const QFileInfo info(path);
    return info.isFile() && info.size() <= limit;
}

// One folder of a theme, as its index.theme describes it.
struct ThemeFolder {
    QString path;
    int size = 0;
    int scale = 1;
    QString type;
    int minSize = 0;
    int maxSize = 0;
    int threshold = 2;

    bool matches(int edge) const
    {
        if (scale != 1)
            return false;
        if (type == QStringLiteral("Fixed"))
            return size == edge;
        if (type == QStringLiteral("Scalable"))
            return minSize <= edge && edge <= maxSize;
        return size - threshold <= edge && edge <= size + threshold;
    }
    int distance(int edge) const
    {
        if (type == QStringLiteral("Fixed"))
            return std::abs(size * scale - edge);
        if (type == QStringLiteral("Scalable")) {
            if (edge < minSize * scale)
                return minSize * scale - edge;
            return edge > maxSize * scale ? edge - maxSize * scale : 0;
        }
        if (edge < (size - threshold) * scale)
            return (size - threshold) * scale - edge;
        return edge > (size + threshold) * scale ? edge - (size + threshold) * scale : 0;
    }
};

struct Theme {
    // With `path` the folder's absolute path, for the folders that exist in any search path.
    QList<ThemeFolder> folders;
    QStringList inherits;
    bool found = false;
};

Theme readThemeFiles(const QString& name, const QStringList& searchPaths)
{
    Theme theme;
    for (const QString& base : searchPaths) {
        const QString index = base + u'/' + name + QStringLiteral("/index.theme");
        if (!isSmallRegularFile(index, IconThemeImages::maximumFileBytes))
            continue;
        QSettings settings(index, QSettings::IniFormat);
        settings.beginGroup(QStringLiteral("Icon Theme"));
        const QStringList folders = settings.value(QStringLiteral("Directories")).toStringList();
        theme.inherits = settings.value(QStringLiteral("Inherits")).toStringList();
        settings.endGroup();
        for (const QString& folder : folders) {
            settings.beginGroup(folder);
            ThemeFolder read;
            read.path = folder;
            read.size = settings.value(QStringLiteral("Size")).toInt();
            read.scale = settings.value(QStringLiteral("Scale"), 1).toInt();
            read.type = settings.value(QStringLiteral("Type"), QStringLiteral("Threshold")).toString();
            read.minSize = settings.value(QStringLiteral("MinSize"), read.size).toInt();
            read.maxSize = settings.value(QStringLiteral("MaxSize"), read.size).toInt();
            read.threshold = settings.value(QStringLiteral("Threshold"), 2).toInt();
            settings.endGroup();
            if (read.size <= 0)
                continue;
            for (const QString& folderBase : searchPaths) {
                ThemeFolder existing = read;
                existing.path = folderBase + u'/' + name + u'/' + folder;
                if (QFileInfo(existing.path).isDir())
                    theme.folders.append(existing);
            }
        }
        theme.found = true;
        break;
    }
    return theme;
}

// Themes are read once: a theme index lists hundreds of folders.
Theme readTheme(const QString& name, const QStringList& searchPaths)
{
    static QMutex mutex;
    static QHash<QString, Theme> themes;
    const QString key = name + u'\n' + searchPaths.join(u'\n');
    {
        const QMutexLocker locker(&mutex);
        if (const auto found = themes.constFind(key); found != themes.cend())
            return *found;
    }
    Theme theme = readThemeFiles(name, searchPaths);
    const QMutexLocker locker(&mutex);
    themes.insert(key, theme);
    return theme;
}

// The file of `iconName` in one theme closest to `edge`.
QString findInTheme(const QString& iconName, const Theme& theme, int edge)
{
    QString closest;
    int closestDistance = std::numeric_limits<int>::max();
    for (const ThemeFolder& folder : theme.folders) {
        for (const QString& extension : extensions) {
            const QString path = folder.path + u'/' + iconName + extension;
            if (!QFileInfo(path).isFile())
                continue;
            if (folder.matches(edge))
                return path;
            if (const int distance = folder.distance(edge); distance < closestDistance) {
                closest = path;
                closestDistance = distance;
            }
        }
    }
    return closest;
}

std::optional<QByteArray> readIconFile(const QString& path)
{
    return RegularFile::read(path, IconThemeImages::maximumFileBytes);
}

// Drawn at each edge, whatever its viewBox: its width and height only give the proportions.
QList<QImage> drawSvg(const QByteArray& bytes, const QList<int>& edges, const QDeadlineTimer& deadline)
{
    QList<QImage> images;
    QSvgRenderer renderer(bytes);
    const QSizeF box = renderer.viewBoxF().size();
    if (!renderer.isValid() || !std::isfinite(box.width()) || !std::isfinite(box.height()) || box.width() <= 0
        || box.height() <= 0)
        return images;
    for (int edge : edges) {
        const QSize shown = box.scaled(edge, edge, Qt::KeepAspectRatio).toSize();
        if (shown.isEmpty() || (!images.isEmpty() && deadline.hasExpired()))
            break;
        QImage image(shown, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter, QRectF(QPointF(0, 0), shown));
        painter.end();
        images.append(image);
    }
    return images;
}

// A raster image only when the pixels it declares are few: decoders make the whole image before
// they scale it. Decoded once, and scaled to each edge as a reader scales; not beyond its own size
// unless `enlarge`.
QList<QImage> decodeRaster(const QByteArray& bytes, const QList<int>& edges, bool enlarge)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize declared = reader.size();
    if (declared.isEmpty() || qint64(declared.width()) * declared.height() > IconThemeImages::maximumPixels)
        return {};
    const QImage whole = reader.read();
    QList<QImage> images;
    for (int edge : edges) {
        const bool fits = whole.width() <= edge && whole.height() <= edge;
        const QSize shown = fits && !enlarge ? whole.size() : whole.size().scaled(edge, edge, Qt::KeepAspectRatio);
        if (whole.isNull() || shown.isEmpty())
            return {};
        images.append(whole.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    return images;
}

QList<QImage> decode(const QByteArray& bytes, const QList<int>& edges, bool enlarge = true)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const QByteArray format = QImageReader(&buffer).format();
    // A slow drawing gives the edges it made in time; the others are scaled from them when shown.
    if (format == "svg")
        return drawSvg(bytes, edges, QDeadlineTimer(IconThemeImages::decodeMilliseconds));
    // Compressed SVG is refused: how large it is only shows once it has been inflated.
    if (format.isEmpty() || format == "svgz")
        return {};
    return decodeRaster(bytes, edges, enlarge);
}

} // namespace

IconThemeImages::Themes IconThemeImages::Themes::current()
{
    return {QIcon::themeSearchPaths(), QIcon::themeName(), QIcon::fallbackThemeName(), QIcon::fallbackSearchPaths()};
}

IconThemeImages::IconThemeImages(Themes themes) : themes_(std::move(themes))
{
}

QFuture<QList<QImage>> IconThemeImages::applicationIcon(const QString& iconName, const QList<int>& edges) const
{
    return QtConcurrent::run(&IconThemeImages::load, iconName, themes_, edges);
}

QFuture<QList<QImage>> IconThemeImages::fileTypeIcon(const QString& suffix, const QList<int>& edges) const
{
    return QtConcurrent::run([suffix, edges, themes = themes_] {
        // The shared MIME database is read here too: any program may install types in it.
        const QMimeDatabase database;
        const QMimeType type = suffix.isEmpty()
            ? database.mimeTypeForName(QStringLiteral("application/octet-stream"))
            : database.mimeTypeForFile(QStringLiteral("file.") + suffix, QMimeDatabase::MatchExtension);
        return loadFirst({type.iconName(), type.genericIconName()}, themes, edges);
    });
}

QString IconThemeImages::find(const QString& iconName, const Themes& themes, int edge)
{
    if (iconName.isEmpty())
        return {};
    if (QFileInfo(iconName).isAbsolute())
        return QFileInfo(iconName).isFile() ? iconName : QString();
    // The theme, then what it inherits (breadth first), then the fallback theme and hicolor.
    QStringList queue{themes.theme};
    QSet<QString> visited;
    bool fallbacksQueued = false;
    while (!queue.isEmpty()) {
        const QString name = queue.takeFirst();
        if (!name.isEmpty() && !visited.contains(name)) {
            visited.insert(name);
            const Theme theme = readTheme(name, themes.searchPaths);
            if (theme.found) {
                // "text-x-python", then "text-x" and "text", before the themes inherited.
                for (QString tried = iconName; !tried.isEmpty();
                     tried.truncate(std::max<qsizetype>(0, tried.lastIndexOf(u'-')))) {
                    if (QString path = findInTheme(tried, theme, edge); !path.isEmpty())
                        return path;
                }
                queue.append(theme.inherits);
            }
        }
        if (queue.isEmpty() && !fallbacksQueued) {
            fallbacksQueued = true;
            queue = QStringList{themes.fallbackTheme, QStringLiteral("hicolor")};
        }
    }
    for (const QString& base : themes.fallbackPaths) {
        for (const QString& extension : extensions) {
            const QString path = base + u'/' + iconName + extension;
            if (QFileInfo(path).isFile())
                return path;
        }
    }
    return {};
}

QList<QImage> IconThemeImages::load(const QString& iconName, const Themes& themes, const QList<int>& edges)
{
    if (edges.isEmpty())
        return {};
    // The file for the largest edge serves the smaller ones too.
    const int largest = *std::max_element(edges.cbegin(), edges.cend());
    QString path = find(iconName, themes, largest);
    if (path.isEmpty() && !QFileInfo(iconName).isAbsolute())
        path = find(QStringLiteral("application-x-executable"), themes, largest);
    if (path.isEmpty())
        return {};
    // Read once, and decoded at each edge.
    const std::optional<QByteArray> bytes = readIconFile(path);
    return bytes ? decode(*bytes, edges) : QList<QImage>();
}

QList<QImage> IconThemeImages::loadFirst(const QStringList& iconNames, const Themes& themes, const QList<int>& edges)
{
    if (edges.isEmpty())
        return {};
    const int largest = *std::max_element(edges.cbegin(), edges.cend());
    const auto found = std::find_if(iconNames.cbegin(), iconNames.cend(),
                                    [&](const QString& name) { return !find(name, themes, largest).isEmpty(); });
    if (found == iconNames.cend())
        return {};
    // Each edge from the file closest to it, as QIcon shows a theme's icons: themes draw their small
    // sizes apart, and a file is never enlarged.
    QMap<QString, QList<int>> edgesOfFiles;
    for (int edge : edges)
        edgesOfFiles[find(*found, themes, edge)].append(edge);
    QList<QImage> images;
    for (auto file = edgesOfFiles.cbegin(); file != edgesOfFiles.cend(); ++file) {
        if (const std::optional<QByteArray> bytes = readIconFile(file.key()))
            images.append(decode(*bytes, file.value(), false));
    }
    return images;
}

} // namespace tavlin
