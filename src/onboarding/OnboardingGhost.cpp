#include "OnboardingGhost.h"

#include "AssistiveRoles.h"
#include "SpringAnimation.h"
#include "SymbolIcon.h"
#include "TavlinBrandAssets.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QPainter>
#include <QPauseAnimation>
#include <QSequentialAnimationGroup>
#include <QSvgRenderer>
#include <QVariantAnimation>

namespace tavlin {

namespace {

// The sparkles around a celebrating mascot: centre offsets in mascot sizes, and their scale.
struct Sparkle {
    double x;
    double y;
    double scale;
    const ThemeColor& color;
};
const Sparkle sparkles[] = {
    {-0.62, -0.28, 1.0, TavlinTheme::brandAccent},
    {0.6, -0.4, 0.75, TavlinTheme::lilac},
    {0.56, 0.22, 0.6, TavlinTheme::sky},
};

QEasingCurve easeInOut()
{
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.42, 0), QPointF(0.58, 1), QPointF(1, 1));
    return curve;
}

} // namespace

OnboardingGhost::OnboardingGhost(int size, Motion motion, QWidget* parent)
    : QWidget(parent), size_(size), motion_(motion)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    AssistiveRoles::markDecorative(this); // the screen's title greets; the mascot only decorates
    setFixedSize(sizeHint());
    // Held back while its screen slides in, it keeps its room.
    QSizePolicy policy = sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    setSizePolicy(policy);
    buildMotion();
}

QSize OnboardingGhost::sizeHint() const
{
    // Room for the sparkles at the sides and for the rise above.
    const int side = motion_ == Motion::celebrate ? int(size_ * 0.75) : 0;
    return {size_ + 2 * side, size_ + int(liftHeight) + 2};
}

QRectF OnboardingGhost::mascotRect() const
{
    return {(width() - size_) / 2.0, height() - double(size_), double(size_), double(size_)};
}

void OnboardingGhost::buildMotion()
{
    auto* entrance = new SpringAnimation(0.5, 0.7, &animation_);
    connect(entrance, &SpringAnimation::valueChanged, this, [this](double value) {
        appeared_ = value;
        update();
    });
    if (motion_ == Motion::floating) {
        auto* bob = new QSequentialAnimationGroup(&animation_);
        bob->addPause(500);
        auto* cycle = new QSequentialAnimationGroup(bob);
        cycle->setLoopCount(-1);
        for (const auto& [from, to] : {std::pair{0.0, 1.0}, std::pair{1.0, 0.0}}) {
            auto* half = new QVariantAnimation(cycle);
            half->setStartValue(from);
            half->setEndValue(to);
            half->setDuration(2200);
            half->setEasingCurve(easeInOut());
            connect(half, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
                lift_ = value.toDouble();
                update();
            });
            cycle->addAnimation(half);
        }
        bob->addAnimation(cycle);
        return;
    }
    // The hop: up 0.32 s after the entrance begins, down again 0.26 s later.
    auto* hop = new QSequentialAnimationGroup(&animation_);
    hop->addPause(320);
    auto* up = new SpringAnimation(0.28, 0.5, hop);
    up->setDuration(260);
    auto* down = new SpringAnimation(0.4, 0.6, hop);
    for (SpringAnimation* spring : {up, down}) {
        connect(spring, &SpringAnimation::valueChanged, this, [this](double value) {
            lift_ = value;
            update();
        });
        hop->addAnimation(spring);
    }
    // The landing starts from wherever the rise had got to.
    connect(up, &QAbstractAnimation::finished, this, [this, down] { down->setRange(lift_, 0); });
    up->setRange(0, 1);
}

void OnboardingGhost::rest()
{
    animation_.stop();
    lift_ = 0;
    appeared_ = ThemeAppearance::reduceMotion(this) ? 1 : 0;
    update();
}

void OnboardingGhost::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    rest();
    if (!ThemeAppearance::reduceMotion(this))
        animation_.start();
}

void OnboardingGhost::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    animation_.stop();
}

void OnboardingGhost::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    const QRectF square = mascotRect();
    const Appearance appearance = ThemeAppearance::of(this);
    if (motion_ == Motion::celebrate) {
        // The sparkles stay where they are while the mascot hops.
        painter.setOpacity(std::clamp(appeared_, 0.0, 1.0));
        const double grown = 0.2 + 0.8 * appeared_;
        for (const Sparkle& sparkle : sparkles) {
            const double side = 18 * sparkle.scale * grown;
            const QPointF centre = square.center() + QPointF(sparkle.x * size_, sparkle.y * size_);
            SymbolIcon::paint(painter, QStringLiteral("sparkle"),
                              QRectF(centre - QPointF(side / 2, side / 2), QSizeF(side, side)),
                              sparkle.color.resolve(appearance));
        }
    }
    painter.setOpacity(std::clamp(appeared_, 0.0, 1.0));
    const double scale = 0.84 + 0.16 * appeared_;
    painter.translate(square.center() - QPointF(0, lift()));
    painter.scale(scale, scale);
    QSvgRenderer& mascot = TavlinBrandAssets::mascot();
    const QSizeF fitted = QSizeF(mascot.defaultSize()).scaled(square.size(), Qt::KeepAspectRatio);
    mascot.render(&painter, QRectF(QPointF(-fitted.width() / 2, -fitted.height() / 2), fitted));
}

} // namespace tavlin
