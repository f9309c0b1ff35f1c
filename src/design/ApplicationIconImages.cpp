#include "ApplicationIconImages.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIcon>
#include <QImageReader>
#include <QMutex>
#include <QSet>
#include <QSettings>

#include <algorithm>
#include <limits>

namespace tavlin {

namespace {

const QStringList extensions{QStringLiteral(".png"), QStringLiteral(".svg"), QStringLiteral(".xpm")};

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
        if (!QFileInfo::exists(index))
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
            if (!QFileInfo::exists(path))
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

QImage decode(const QByteArray& bytes, const QByteArray& format, int edge)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > edge || size.height() > edge || format == "svg"))
        reader.setScaledSize(size.scaled(edge, edge, Qt::KeepAspectRatio));
    else if (!size.isValid())
        reader.setScaledSize(QSize(edge, edge));
    QImage image = reader.read();
    if (!image.isNull() && image.width() < edge && image.height() < edge)
        image = image.scaled(edge, edge, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace

ApplicationIconImages::Themes ApplicationIconImages::Themes::current()
{
    return {QIcon::themeSearchPaths(), QIcon::themeName(), QIcon::fallbackThemeName(), QIcon::fallbackSearchPaths()};
}

QString ApplicationIconImages::find(const QString& iconName, const Themes& themes, int edge)
{
    if (iconName.isEmpty())
        return {};
    if (QFileInfo(iconName).isAbsolute())
        return QFileInfo::exists(iconName) ? iconName : QString();
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
                if (QString path = findInTheme(iconName, theme, edge); !path.isEmpty())
                    return path;
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
            if (QFileInfo::exists(path))
                return path;
        }
    }
    return {};
}

QList<QImage> ApplicationIconImages::load(const QString& iconName, const Themes& themes, const QList<int>& edges)
{
    QList<QImage> images;
    if (edges.isEmpty())
        return images;
    // The file for the largest edge serves the smaller ones too.
    const int largest = *std::max_element(edges.cbegin(), edges.cend());
    QString path = find(iconName, themes, largest);
    if (path.isEmpty() && !QFileInfo(iconName).isAbsolute())
        path = find(QStringLiteral("application-x-executable"), themes, largest);
    if (path.isEmpty())
        return images;
    // Read once, whatever the file is, and decoded at each edge.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return images;
    const QByteArray bytes = file.readAll();
    const QByteArray format = QFileInfo(path).suffix().toLower().toLatin1();
    for (int edge : edges) {
        if (QImage image = decode(bytes, format, edge); !image.isNull())
            images.append(image);
    }
    return images;
}

} // namespace tavlin
