#pragma once

#include "ClipKind.h"

#include <QIcon>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

class QPainter;

namespace tavlin {

class Workspace;
struct ApplicationInfo;

// What the windows show for the application a record was copied from: its icon and name, or
// the record kind's symbol and "Unknown source" when it cannot be found. Lookups are cached
// for the process (at most 32 entries, per application and kind). Main thread.
struct SourceApplicationIcon {
    struct Value {
        // The application's icon; null for the fallback, which draws `symbol` instead.
        QIcon image;
        // The kind's symbol for the fallback, tinted with the colour of the text beside it.
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

    // The desktop to ask; the shell sets it once at start-up. Setting it empties the cache.
    static void setWorkspace(const Workspace* workspace);
    static const Workspace* workspace();

    // Never fails; the result is shared through the cache and never changes.
    static std::shared_ptr<const Value> resolve(const std::optional<QString>& bundleID, ClipKind fallback);
    // The name of an installed application: its entry's Name when that is not blank (as it is,
    // spaces included), else its desktop file's name less a trailing ".desktop".
    static QString applicationName(const ApplicationInfo& application);
    static QString cacheKey(const std::optional<QString>& bundleID, ClipKind kind);

    static constexpr int cacheLimit = 32;
};

} // namespace tavlin
