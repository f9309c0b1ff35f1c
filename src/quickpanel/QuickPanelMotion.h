#pragma once

#include "QuickPanelGeometry.h"

#include <QObject>
#include <QPainterPath>
#include <QPointer>
#include <QSizeF>

class QVariantAnimation;

namespace tavlin {

// The animation state of the Quick Panel's surface: how far it has grown out of its seed strip
// (expansion) and how far its content has faded in (reveal), each between 0 and 1, and the
// outline that follows from them. Main thread.
class QuickPanelMotion : public QObject {
    Q_OBJECT

public:
    // The visible outline, in the surface's coordinates (y down from the top edge), and opacities.
    struct Silhouette {
        qreal x = 0, y = 0, width = 0, height = 0;
        qreal topRadius = 0, bottomRadius = 0;
        qreal notchShade = 0, contentOpacity = 0, surfaceOpacity = 0;
        bool operator==(const Silhouette&) const = default;

        // The outline as a path (at least one pixel high, so that a collapsed strip still exists).
        QPainterPath path() const;
    };

    // Response of the opening spring, critically damped.
    static constexpr qreal springResponse = 0.28;

    explicit QuickPanelMotion(QObject* parent = nullptr);

    // The outline for a surface of `size` with the content grown and faded in as far as given.
    static Silhouette silhouette(QSizeF size, qreal expansion, qreal reveal, bool reduceMotion,
                                 const QuickPanelGeometry::Seed& seed);
    // The spring's progress after `seconds`: 1 − (1 + ωt)·e^(−ωt), ω = 2π / response.
    static qreal spring(qreal seconds);

    Silhouette silhouette(QSizeF size) const { return silhouette(size, expansion_, reveal_, reduceMotion, seed); }
    bool expanded() const { return expanded_; }
    bool revealed() const { return revealed_; }
    qreal expansion() const { return expansion_; }
    qreal reveal() const { return reveal_; }
    bool isAnimating() const;

    // Both flags at once, without animation.
    void reset(bool expanded, bool revealed);
    // Opening: the surface springs out while the content fades in a moment later.
    void open();
    // Closing: the content fades first while the surface shrinks back.
    void close();

    bool reduceMotion = false;
    QuickPanelGeometry::Seed seed;

Q_SIGNALS:
    // Every step of an animation and every reset.
    void changed();

private:
    // With reduced motion both values move together in a short fade, opening or closing.
    void fade(qreal target);
    void animate(qreal& value, qreal target, int milliseconds, int delay, bool springing, bool easeIn);

    bool expanded_ = false;
    bool revealed_ = false;
    qreal expansion_ = 0;
    qreal reveal_ = 0;
    QPointer<QVariantAnimation> expanding_;
    QPointer<QVariantAnimation> revealing_;
};

} // namespace tavlin
