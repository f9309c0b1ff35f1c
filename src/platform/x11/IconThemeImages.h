#pragma once

#include "ApplicationIconImages.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <atomic>

namespace tavlin {

// Icons as freedesktop desktops find them, found and decoded without QIcon so that a worker can do
// it: a desktop entry's Icon names a file, or an icon of the icon theme, looked up in the theme, the
// themes it inherits, the fallback theme and "hicolor", then among the loose icons of the fallback
// folders; an entry without an icon, or whose icon is found nowhere, has the theme's
// "application-x-executable". A file type's icon is found the same way, by the names of its type.
// A name found nowhere is looked for again less its last dash-separated part, in each theme
// before those it inherits, as QIcon looks.
//
// Only regular files are opened, never larger than maximumFileBytes; a raster image is decoded
// only when it declares at most maximumPixels (each image of an ICO measured), and an SVG that
// draws little is drawn at each edge whatever its viewBox. Anything else has no images, so that the kind's symbol stands in.
class IconThemeImages : public ApplicationIconImages {
public:
    // Far above any icon a desktop ships (a 1024 by 1024 PNG, an SVG drawn in detail).
    static constexpr qint64 maximumFileBytes = 4 << 20;
    static constexpr qint64 maximumPixels = 1024 * 1024;
    // What an SVG may draw, its uses counted as drawing all it names again.
    static constexpr qint64 maximumSvgElements = 3000;
    // After this the edges of an SVG not yet drawn are left out.
    static constexpr int decodeMilliseconds = 1000;

    // Where icon themes are.
    struct Themes {
        QStringList searchPaths;
        QString theme;
        QString fallbackTheme;
        QStringList fallbackPaths;

        // As QIcon knows them now. Main thread.
        static Themes current();
    };

    explicit IconThemeImages(Themes themes = Themes::current());
    ~IconThemeImages() override;

    QFuture<QList<QImage>> applicationIcon(const QString& iconName, const QList<int>& edges) const override;
    QFuture<QList<QImage>> fileTypeIcon(const QString& suffix, const QList<int>& edges) const override;

    // What the futures compute, on the calling thread. Each gives up, with nothing, once `stop` (if
    // any) reads true: a theme of thousands of folders takes seconds to search.
    // The icon at each edge of `edges` (in pixels), largest images scaled down and scalable ones
    // drawn at that edge; nothing when no image is found or none can be decoded.
    static QList<QImage> load(const QString& iconName, const Themes& themes, const QList<int>& edges,
                              const std::atomic<bool>* stop = nullptr);
    // The same for the first of `iconNames` that is found, with no stand-in for none, each edge
    // from the theme's file closest to it and a raster image never enlarged.
    static QList<QImage> loadFirst(const QStringList& iconNames, const Themes& themes, const QList<int>& edges,
                                   const std::atomic<bool>* stop = nullptr);
    // The file of the icon closest to `edge`; empty when there is none.
    static QString find(const QString& iconName, const Themes& themes, int edge,
                        const std::atomic<bool>* stop = nullptr);

private:
    Themes themes_;
    // Lookups run on threads of their own, never on Qt's shared pool: the painter hands that pool
    // its image scaling and conversions and waits for them, and a theme of thousands of folders
    // held every one of its threads, and the windows with them.
    mutable QThreadPool workers_;
    std::atomic<bool> closing_ = false;
};

} // namespace tavlin
