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
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QtConcurrent/QtConcurrentRun>
#include <QtEndian>

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

bool stopped(const std::atomic<bool>* stop)
{
    return stop && stop->load();
}

// Nothing when `stop` reads true before it is read.
std::optional<Theme> readThemeFiles(const QString& name, const QStringList& searchPaths, const std::atomic<bool>* stop)
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
            if (stopped(stop))
                return std::nullopt;
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
Theme readTheme(const QString& name, const QStringList& searchPaths, const std::atomic<bool>* stop)
{
    static QMutex mutex;
    static QHash<QString, Theme> themes;
    const QString key = name + u'\n' + searchPaths.join(u'\n');
    {
        const QMutexLocker locker(&mutex);
        if (const auto found = themes.constFind(key); found != themes.cend())
            return *found;
    }
    const std::optional<Theme> theme = readThemeFiles(name, searchPaths, stop);
    if (!theme)
        return {};
    const QMutexLocker locker(&mutex);
    themes.insert(key, *theme);
    return *theme;
}

// The file of `iconName` in one theme closest to `edge`.
QString findInTheme(const QString& iconName, const Theme& theme, int edge, const std::atomic<bool>* stop)
{
    QString closest;
    int closestDistance = std::numeric_limits<int>::max();
    for (const ThemeFolder& folder : theme.folders) {
        if (stopped(stop))
            return {};
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

// Whether a value of stroke-dasharray dashes the stroke. "none", "inherit", nothing, or lengths
// that are all zero draw it solid: icon editors write "stroke-dasharray:none" on every path
// (xterm's icons do).
bool dashes(QStringView value)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    static const QRegularExpression zero(QStringLiteral("^[+-]?(0+\\.?0*|\\.0+)(e[+-]?[0-9]+)?([a-z]*|%)$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QString trimmed = value.trimmed().toString();
    if (trimmed.compare(u"none", Qt::CaseInsensitive) == 0 || trimmed.compare(u"inherit", Qt::CaseInsensitive) == 0)
        return false;
    const QStringList lengths = trimmed.split(separators, Qt::SkipEmptyParts);
    return std::any_of(lengths.cbegin(), lengths.cend(),
                       [](const QString& length) { return !zero.match(length).hasMatch(); });
}

// Whether style declarations (a style attribute, a style sheet) dash anything. A backslash may
// escape a letter of a name ("stroke-dash\array"), so backslashes are left out before looking; a
// mention that does not read as a declaration counts as dashes.
bool declaresDashes(QString declarations)
{
    declarations.remove(u'\\');
    const QLatin1StringView name("dasharray");
    for (qsizetype at = declarations.indexOf(name, 0, Qt::CaseInsensitive); at >= 0;
         at = declarations.indexOf(name, at + 1, Qt::CaseInsensitive)) {
        qsizetype colon = at + name.size();
        while (colon < declarations.size() && declarations.at(colon).isSpace())
            ++colon;
        if (colon == declarations.size() || declarations.at(colon) != u':')
            return true;
        qsizetype end = colon + 1;
        while (end < declarations.size() && !QStringView(u";}!").contains(declarations.at(end)))
            ++end;
        if (dashes(QStringView(declarations).sliced(colon + 1, end - colon - 1)))
            return true;
    }
    return false;
}

// One drawing of an SVG cannot be cut short, and what it takes grows with what it draws, not with
// its bytes: text is laid out glyph by glyph, each dash of a stroke is drawn on its own, and each
// <use> may draw again all that it names (and the uses in that). A document that could draw for
// long is refused before it is drawn. Icons draw their text as shapes, and their dashes are few.
bool drawsQuickly(const QByteArray& bytes)
{
    QXmlStreamReader reader(bytes);
    qint64 elements = 0;
    qint64 uses = 0;
    qint64 textCharacters = 0;
    int textDepth = 0;
    // Dashes may come from a style sheet as well as from an attribute: any of them counts for all.
    bool dashing = false;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            ++(reader.name() == u"use" ? uses : elements);
            textDepth += reader.name() == u"text" ? 1 : 0;
            for (const QXmlStreamAttribute& attribute : reader.attributes()) {
                if (attribute.qualifiedName().contains(u"dasharray", Qt::CaseInsensitive))
                    dashing = dashing || dashes(attribute.value());
                else
                    dashing = dashing || declaresDashes(attribute.value().toString());
            }
            break;
        case QXmlStreamReader::EndElement: textDepth -= reader.name() == u"text" ? 1 : 0; break;
        case QXmlStreamReader::Characters:
            textCharacters += textDepth > 0 ? reader.text().size() : 0;
            dashing = dashing || declaresDashes(reader.text().toString());
            break;
        case QXmlStreamReader::ProcessingInstruction:
            dashing = dashing || declaresDashes(reader.processingInstructionData().toString());
            break;
        default: break;
        }
    }
    const qint64 dashed = dashing ? elements : 0;
    return !reader.hasError() && textCharacters <= 256 && dashed <= 64 && uses < 12
        && (elements << uses) <= IconThemeImages::maximumSvgElements;
}

// Drawn at each edge, whatever its viewBox: its width and height only give the proportions.
QList<QImage> drawSvg(const QByteArray& bytes, const QList<int>& edges, const QDeadlineTimer& deadline)
{
    QList<QImage> images;
    if (!drawsQuickly(bytes))
        return images;
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

// An ICO's directory gives each image's size, and its reader goes by it, but an image kept in it as
// a PNG or a bitmap has a size of its own, which is what gets decoded: each one is measured.
bool icoImagesAreSmall(const QByteArray& bytes)
{
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    if (bytes.size() < 6)
        return false;
    const int count = qFromLittleEndian<quint16>(data + 4);
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = 6 + 16 * qsizetype(i);
        if (entry + 16 > bytes.size())
            return false;
        const qsizetype length = qFromLittleEndian<quint32>(data + entry + 8);
        const qsizetype offset = qFromLittleEndian<quint32>(data + entry + 12);
        if (offset + 16 > bytes.size() || length > bytes.size() - offset)
            return false;
        QSize size;
        if (bytes.mid(offset, 8) == QByteArray("\x89PNG\r\n\x1a\n")) {
            QByteArray image = bytes.mid(offset, length);
            QBuffer buffer(&image);
            buffer.open(QIODevice::ReadOnly);
            size = QImageReader(&buffer, "png").size();
        } else {
            // A bitmap's header: its height counts the mask too.
            size = QSize(std::abs(qFromLittleEndian<qint32>(data + offset + 4)),
                         std::abs(qFromLittleEndian<qint32>(data + offset + 8)) / 2);
        }
        if (size.isEmpty() || qint64(size.width()) * size.height() > IconThemeImages::maximumPixels)
            return false;
    }
    return true;
}

// A raster image only when the pixels it declares are few: decoders make the whole image before
// they scale it. Decoded once, and scaled to each edge as a reader scales; not beyond its own size
// unless `enlarge`.
QList<QImage> decodeRaster(const QByteArray& bytes, const QByteArray& format, const QList<int>& edges, bool enlarge)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize declared = reader.size();
    if (declared.isEmpty() || qint64(declared.width()) * declared.height() > IconThemeImages::maximumPixels
        || ((format == "ico" || format == "cur") && !icoImagesAreSmall(bytes)))
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
    return decodeRaster(bytes, format, edges, enlarge);
}

} // namespace

IconThemeImages::Themes IconThemeImages::Themes::current()
{
    return {QIcon::themeSearchPaths(), QIcon::themeName(), QIcon::fallbackThemeName(), QIcon::fallbackSearchPaths()};
}

IconThemeImages::IconThemeImages(Themes themes) : themes_(std::move(themes))
{
    // Two, so that one slow file does not hold every other icon back.
    workers_.setMaxThreadCount(2);
}

IconThemeImages::~IconThemeImages()
{
    // Nobody waits for the icons any more: quitting waits only for the lookups under way to give up.
    closing_ = true;
    workers_.clear();
    workers_.waitForDone();
}

QFuture<QList<QImage>> IconThemeImages::applicationIcon(const QString& iconName, const QList<int>& edges) const
{
    return QtConcurrent::run(&workers_, &IconThemeImages::load, iconName, themes_, edges, &closing_);
}

QFuture<QList<QImage>> IconThemeImages::fileTypeIcon(const QString& suffix, const QList<int>& edges) const
{
    return QtConcurrent::run(&workers_, [suffix, edges, themes = themes_, stop = &closing_] {
        // The shared MIME database is read here too: any program may install types in it.
        const QMimeDatabase database;
        const QMimeType type = suffix.isEmpty()
            ? database.mimeTypeForName(QStringLiteral("application/octet-stream"))
            : database.mimeTypeForFile(QStringLiteral("file.") + suffix, QMimeDatabase::MatchExtension);
        return loadFirst({type.iconName(), type.genericIconName()}, themes, edges, stop);
    });
}

QString IconThemeImages::find(const QString& iconName, const Themes& themes, int edge, const std::atomic<bool>* stop)
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
            const Theme theme = readTheme(name, themes.searchPaths, stop);
            if (theme.found) {
                // "text-x-python", then "text-x" and "text", before the themes inherited.
                for (QString tried = iconName; !tried.isEmpty();
                     tried.truncate(std::max<qsizetype>(0, tried.lastIndexOf(u'-')))) {
                    if (QString path = findInTheme(tried, theme, edge, stop); !path.isEmpty())
                        return path;
                }
                queue.append(theme.inherits);
            }
        }
        if (stopped(stop))
            return {};
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

QList<QImage> IconThemeImages::load(const QString& iconName, const Themes& themes, const QList<int>& edges,
                                    const std::atomic<bool>* stop)
{
    if (edges.isEmpty())
        return {};
    // The file for the largest edge serves the smaller ones too.
    const int largest = *std::max_element(edges.cbegin(), edges.cend());
    QString path = find(iconName, themes, largest, stop);
    if (path.isEmpty() && !QFileInfo(iconName).isAbsolute())
        path = find(QStringLiteral("application-x-executable"), themes, largest, stop);
    if (path.isEmpty() || stopped(stop))
        return {};
    // Read once, and decoded at each edge.
    const std::optional<QByteArray> bytes = readIconFile(path);
    return bytes ? decode(*bytes, edges) : QList<QImage>();
}

QList<QImage> IconThemeImages::loadFirst(const QStringList& iconNames, const Themes& themes, const QList<int>& edges,
                                         const std::atomic<bool>* stop)
{
    if (edges.isEmpty())
        return {};
    const int largest = *std::max_element(edges.cbegin(), edges.cend());
    const auto found = std::find_if(iconNames.cbegin(), iconNames.cend(),
                                    [&](const QString& name) { return !find(name, themes, largest, stop).isEmpty(); });
    if (found == iconNames.cend() || stopped(stop))
        return {};
    // Each edge from the file closest to it, as QIcon shows a theme's icons: themes draw their small
    // sizes apart, and a file is never enlarged.
    QMap<QString, QList<int>> edgesOfFiles;
    for (int edge : edges)
        edgesOfFiles[find(*found, themes, edge, stop)].append(edge);
    QList<QImage> images;
    for (auto file = edgesOfFiles.cbegin(); file != edgesOfFiles.cend() && !stopped(stop); ++file) {
        if (const std::optional<QByteArray> bytes = readIconFile(file.key()))
            images.append(decode(*bytes, file.value(), false));
    }
    return images;
}

} // namespace tavlin
