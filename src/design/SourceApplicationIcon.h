#pragma once

#include "ClipKind.h"

#include <QCache>
#include <QFuture>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class QPainter;

namespace tavlin {

class ApplicationIconImages;
class Workspace;
struct ApplicationInfo;

// What the windows show for the application a record was copied from: its icon and name, or
// the record kind's symbol and "Unknown source" when it cannot be found, as `workspace` knows
// the installed applications and `images` draws their icons. Lookups are cached (at most 32 entries, per application and kind).
// The delegate makes one for the application's windows, and every window that shows applications
// asks it. Main thread.
//
// Icons are never opened on the main thread: `images` finds and decodes them on a worker, and
// what shows a source shows its name beside an empty space until the images arrive as QImages;
// iconsArrived then asks for a repaint. The icons of file types come the same way.
class SourceApplicationIcon : public QObject {
    Q_OBJECT

public:
    struct Value {
        // The application's icon; null for the fallback, which draws `symbol` instead.
        QIcon image;
        // The kind's symbol for the fallback and for an application whose icon the theme lacks,
        // tinted with the colour of the text beside it.
        QString symbol;
        QString name;
        // The application's desktop entry; none exactly for the fallback.
        std::optional<QUrl> applicationURL;
        // What assistive technology reads for the image.
        QString accessibilityDescription;

        bool isFallback() const { return !applicationURL; }
        // Draws the icon (or the tinted symbol) fitted into `rect`.
        void paint(QPainter& painter, const QRectF& rect, const QColor& symbolColor) const;
    };

    SourceApplicationIcon(const Workspace& workspace, const ApplicationIconImages& images);
    SourceApplicationIcon(const SourceApplicationIcon&) = delete;
    SourceApplicationIcon& operator=(const SourceApplicationIcon&) = delete;

    const Workspace& workspace() const { return workspace_; }

    // Never fails; the result is shared through the cache and never changes. An icon not decoded
    // yet is decoded on a worker: until it arrives the value has the application's name and entry
    // and neither image nor symbol (it draws nothing), and is not cached.
    std::shared_ptr<const Value> resolve(const std::optional<QString>& bundleID, ClipKind fallback) const;
    // The icon a desktop entry's Icon names, at every decoded edge: nothing while it is decoded
    // (this asks for it), a null icon when none could be.
    std::optional<QIcon> icon(const QString& iconName) const;
    // The icon of a file's type as its name tells it (the file itself is never looked at): the
    // type's own icon in the theme, else its generic one, decoded at the edges a row's and a card's
    // file icon are drawn. Nothing while it is decoded (this asks for it), a null icon when the
    // theme has neither.
    std::optional<QIcon> fileTypeIcon(const QString& fileName) const;
    // The name of an installed application: its entry's Name when that is not blank (as it is,
    // spaces included), else its desktop file's name less a trailing ".desktop".
    static QString applicationName(const ApplicationInfo& application);
    static QString cacheKey(const std::optional<QString>& bundleID, ClipKind kind);

    static constexpr int cacheLimit = 32;
    // The pixel edges an icon is decoded at, at one and two device pixels a point: a footer's, a
    // list of applications' in the history's filter and in the settings, the chooser's.
    static const QList<int>& decodedEdges();

Q_SIGNALS:
    // Icons asked for have arrived: what shows sources should look again. Never emitted while an
    // icon is asked for.
    void iconsArrived();

private:
    std::shared_ptr<const Value> resolved(const QString& key, const std::optional<QString>& bundleID, ClipKind fallback,
                                          const std::optional<ApplicationInfo>& application, const QIcon& icon) const;

    // Icons decoded on the worker, by what they were asked for (a null icon when none could be),
    // costed in kilobytes, and the icons being decoded.
    struct Decoded {
        explicit Decoded(qsizetype kilobytes) : icons(kilobytes) { }
        QCache<QString, QIcon> icons;
        QSet<QString> pending;
    };
    void announceArrivals() const;
    std::optional<QIcon> decoded(Decoded& kept, const QString& key,
                                 const std::function<QFuture<QList<QImage>>()>& load) const;

    const Workspace& workspace_;
    const ApplicationIconImages& images_;
    mutable QCache<QString, std::shared_ptr<const Value>> cache_{cacheLimit};
    // By the entry's Icon. About 26 kB each: more are kept than values, so that a page of more
    // sources than the values' cache holds never decodes its icons again.
    mutable Decoded applicationIcons_{4096};
    // By the file name's extension, some tens of kilobytes each: the few types a history holds.
    mutable Decoded fileTypeIcons_{2048};
    // iconsArrived is on its way.
    mutable bool announcing_ = false;
};

} // namespace tavlin
