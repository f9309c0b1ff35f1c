#pragma once

#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRectF>

#include <optional>

namespace tavlin {

// Where the Quick Panel hangs: on which screen, at which frame, and from which strip its opening
// grows. Pure functions of screen snapshots. Coordinates have their origin at the bottom-left of
// the primary screen with y growing upward (the adapter flips X11's coordinates), in logical
// pixels; every edge snaps to the screen's device pixels.
struct QuickPanelGeometry {
    struct Display {
        QRectF frame;
        QRectF visibleFrame;
        // Height of a camera housing at the top; 0 on every screen here.
        qreal safeTop = 0;
        // The areas beside a camera housing; none on every screen here.
        std::optional<QRectF> auxiliaryLeft;
        std::optional<QRectF> auxiliaryRight;
        qreal scale = 1;
    };

    // The collapsed strip the surface grows from, relative to the panel's left edge.
    struct Seed {
        qreal centerX = 210;
        qreal width = 120;
        bool attachedToNotch = false;
        bool operator==(const Seed&) const = default;
    };

    static constexpr qreal designWidth = 420;
    static constexpr qreal designHeight = 310;
    static constexpr qreal stripWidth = 120;

    // The first display whose frame holds the point (minimum edges in, maximum edges out), else
    // the fallback when it names a display.
    static std::optional<int> displayIndex(QPointF point, const QList<Display>& displays, std::optional<int> fallback);
    // The panel's frame; the zero rectangle when the display has no usable area.
    static QRectF frame(const Display& display);
    static std::optional<QRectF> notch(const Display& display);
    static Seed seed(const Display& display, const QRectF& panel);

    // Between the desktop's coordinates (origin at the top-left, y down) and these, flipped about
    // the primary screen's frame.
    static Display fromScreen(const QRectF& geometry, const QRectF& available, qreal devicePixelRatio,
                              const QRectF& primary);
    // The centre of the pointer's pixel, so that the top row of a screen still lies inside it.
    static QPointF pointerFromScreen(QPoint pointer, const QRectF& primary);
    static QRectF toScreen(const QRectF& frame, const QRectF& primary);
};

} // namespace tavlin
