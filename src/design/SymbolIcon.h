#pragma once

#include "ClipKind.h"

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QRectF>
#include <QString>

class QPainter;

namespace tavlin {

// The monochrome symbols the interface draws ("doc", "link", "checkmark"...), bundled as SVG and
// tinted with the colour of the moment when painted.
struct SymbolIcon {
    // Parses every bundled symbol, so that no window's first paint waits for it.
    static void prepare();
    // Whether a symbol of that name is bundled.
    static bool exists(const QString& name);
    // Draws the symbol fitted into `rect` (aspect kept, centred) in `color`. Unknown names draw
    // nothing.
    static void paint(QPainter& painter, const QString& name, const QRectF& rect, const QColor& color);
    // The symbol as a square pixmap of `size` logical pixels.
    static QPixmap pixmap(const QString& name, int size, const QColor& color, qreal devicePixelRatio = 1.0);
    static QIcon icon(const QString& name, const QColor& color);

    // The one symbol of each record kind.
    static QString forKind(ClipKind kind);
};

} // namespace tavlin
