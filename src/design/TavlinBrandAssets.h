#pragma once

#include <QPixmap>

class QSvgRenderer;

namespace tavlin {

// The brand artwork, drawn in its own colours (never tinted).
struct TavlinBrandAssets {
    // "TavlinMascot": the ghost.
    static QSvgRenderer& mascot();
    // "TavlinWordmark": the ghost with the product name, for the history window's sidebar.
    static QSvgRenderer& wordmark();
    // "MenuBarGhost": the ghost's silhouette, black on transparent, to be tinted like a symbol.
    static QSvgRenderer& menuBarGhost();

    // The artwork fitted into `size` (aspect kept, centred) for a screen of `ratio` device pixels
    // a logical one: widgets that show it keep the result, as drawing from the SVG is costly.
    static QPixmap drawn(QSvgRenderer& artwork, const QSize& size, qreal ratio);
};

} // namespace tavlin
