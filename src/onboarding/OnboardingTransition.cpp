#include "OnboardingTransition.h"

#include <QPainter>

namespace tavlin {

OnboardingTransition::OnboardingTransition(QWidget* parent) : QWidget(parent), spring_(0.42, 0.88)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
    connect(&spring_, &SpringAnimation::valueChanged, this, [this](double value) {
        progress_ = value;
        update();
    });
    connect(&spring_, &QAbstractAnimation::finished, this, [this] {
        hide();
        from_ = {};
        to_ = {};
        Q_EMIT finished();
    });
}

void OnboardingTransition::run(const QPixmap& from, const QPixmap& to, bool forward)
{
    spring_.stop();
    from_ = from;
    to_ = to;
    forward_ = forward;
    progress_ = 0;
    setGeometry(parentWidget()->rect());
    raise();
    show();
    spring_.setRange(0, 1);
    spring_.start();
}

void OnboardingTransition::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The new screen lies live beneath: the window's background covers it.
    painter.fillRect(rect(), palette().window());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const double shown = std::clamp(progress_, 0.0, 1.0);
    painter.setOpacity(1 - shown);
    painter.drawPixmap(0, 0, from_);
    painter.setOpacity(shown);
    const double offset = (forward_ ? 28 : -28) * (1 - progress_);
    painter.drawPixmap(QPointF(offset, 0), to_);
}

} // namespace tavlin
