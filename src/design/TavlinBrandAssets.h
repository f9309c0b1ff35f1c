#pragma once

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
};

} // namespace tavlin
