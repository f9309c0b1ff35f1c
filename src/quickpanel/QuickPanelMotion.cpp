#include "QuickPanelMotion.h"

#include <QEasingCurve>
#include <QVariantAnimation>

#include <cmath>
#include <numbers>

namespace tavlin {

namespace {
constexpr qreal cornerRadius = 16;

qreal mix(qreal from, qreal to, qreal t)
{
    return from + (to - from) * t;
}

// The spring over its response time, as an easing curve of the animation's progress.
qreal springCurve(qreal progress)
{
    return progress >= 1 ? 1 : QuickPanelMotion::spring(progress * QuickPanelMotion::springResponse);
}
} // namespace

QPainterPath QuickPanelMotion::Silhouette::path() const
{
    const QRectF rect(x, y, width, std::max<qreal>(height, 1));
    const qreal top = std::min({topRadius, rect.width() / 2, rect.height() / 2});
    const qreal bottom = std::min({bottomRadius, rect.width() / 2, rect.height() / 2});
    QPainterPath path;
    path.moveTo(rect.left() + top, rect.top());
    path.arcTo(QRectF(rect.right() - 2 * top, rect.top(), 2 * top, 2 * top), 90, -90);
    path.arcTo(QRectF(rect.right() - 2 * bottom, rect.bottom() - 2 * bottom, 2 * bottom, 2 * bottom), 0, -90);
    path.arcTo(QRectF(rect.left(), rect.bottom() - 2 * bottom, 2 * bottom, 2 * bottom), 270, -90);
    path.arcTo(QRectF(rect.left(), rect.top(), 2 * top, 2 * top), 180, -90);
    path.closeSubpath();
    return path;
}

QuickPanelMotion::QuickPanelMotion(QObject* parent) : QObject(parent)
{
}

QuickPanelMotion::Silhouette QuickPanelMotion::silhouette(QSizeF size, qreal expansion, qreal reveal, bool reduceMotion,
                                                          const QuickPanelGeometry::Seed& seed)
{
    const qreal w = size.width();
    const qreal h = size.height();
    if (reduceMotion) // only a fade
        return {0, 0, w, h, cornerRadius, cornerRadius, 0, 1, reveal};
    const qreal stripWidth = std::min(w, seed.width);
    const qreal stripX = std::min(w - stripWidth, std::max<qreal>(0, seed.centerX - stripWidth / 2));
    const qreal radius = mix(0, cornerRadius, expansion);
    return {mix(stripX, 0, expansion),
            0,
            mix(stripWidth, w, expansion),
            mix(0, h, expansion),
            radius,
            radius,
            seed.attachedToNotch ? 1 - reveal : 0,
            reveal,
            expansion};
}

qreal QuickPanelMotion::spring(qreal seconds)
{
    const qreal omegaT = 2 * std::numbers::pi / springResponse * seconds;
    return 1 - (1 + omegaT) * std::exp(-omegaT);
}

bool QuickPanelMotion::isAnimating() const
{
    return expanding_ || revealing_;
}

void QuickPanelMotion::reset(bool expanded, bool revealed)
{
    delete expanding_;
    delete revealing_;
    expanded_ = expanded;
    revealed_ = revealed;
    expansion_ = expanded ? 1 : 0;
    reveal_ = revealed ? 1 : 0;
    Q_EMIT changed();
}

void QuickPanelMotion::open()
{
    expanded_ = revealed_ = true;
    if (reduceMotion) {
        fade(1);
        return;
    }
    animate(expansion_, 1, qRound(springResponse * 1000), 0, true, false);
    animate(reveal_, 1, 180, 60, false, false);
}

void QuickPanelMotion::close()
{
    expanded_ = revealed_ = false;
    if (reduceMotion) {
        fade(0);
        return;
    }
    animate(reveal_, 0, 80, 0, false, true);
    animate(expansion_, 0, 160, 0, false, true);
}

void QuickPanelMotion::fade(qreal target)
{
    animate(expansion_, target, 100, 0, false, false);
    animate(reveal_, target, 100, 0, false, false);
}

void QuickPanelMotion::animate(qreal& value, qreal target, int milliseconds, int delay, bool springing, bool easeIn)
{
    QPointer<QVariantAnimation>& slot = &value == &expansion_ ? expanding_ : revealing_;
    delete slot;
    auto* animation = new QVariantAnimation(this);
    slot = animation;
    const qreal start = value;
    // The delay is a flat stretch at the start of the curve, so one animation carries it.
    const qreal total = milliseconds + delay;
    animation->setDuration(int(total));
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    connect(animation, &QVariantAnimation::valueChanged, this,
            [this, &value, start, target, total, delay, springing, easeIn](const QVariant& progress) {
                const qreal elapsed = std::max<qreal>(0, progress.toReal() * total - delay) / (total - delay);
                const qreal eased = springing
                    ? springCurve(elapsed)
                    : QEasingCurve(easeIn ? QEasingCurve::InQuad : QEasingCurve::OutQuad).valueForProgress(elapsed);
                value = mix(start, target, eased);
                Q_EMIT changed();
            });
    connect(animation, &QVariantAnimation::finished, this, [this, &value, target] {
        value = target;
        Q_EMIT changed();
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

} // namespace tavlin
