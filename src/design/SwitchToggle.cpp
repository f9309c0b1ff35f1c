#include "SwitchToggle.h"

#include "KeyboardFocus.h"
#include "RoundedShape.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QAccessibleWidget>
#include <QPainter>

namespace tavlin {

namespace {
constexpr int ringOutset = 3;

// Qt's own button interface toggles a checkable button directly, which would flip the switch
// without asking its owner. A screen reader's press or toggle goes the way of a click instead.
class SwitchToggleAccessible : public QAccessibleWidget {
public:
    explicit SwitchToggleAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::CheckBox) { }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = static_cast<QAbstractButton*>(widget())->isChecked();
        return state;
    }

    QStringList actionNames() const override
    {
        return {QAccessibleActionInterface::toggleAction(), QAccessibleActionInterface::pressAction()};
    }

    void doAction(const QString& action) override
    {
        if (widget()->isEnabled() && actionNames().contains(action))
            static_cast<QAbstractButton*>(widget())->click();
    }
};

QAccessibleInterface* switchToggleAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String(SwitchToggle::staticMetaObject.className()) && object->isWidgetType())
        return new SwitchToggleAccessible(static_cast<QWidget*>(object));
    return nullptr;
}
} // namespace

SwitchToggle::SwitchToggle(const QString& accessibleName, QWidget* parent) : QAbstractButton(parent)
{
    static const bool accessibleInstalled = (QAccessible::installFactory(switchToggleAccessible), true);
    Q_UNUSED(accessibleInstalled);
    setCheckable(true);
    setAccessibleName(accessibleName);
    setFocusPolicy(Qt::StrongFocus);
    KeyboardFocus::track(this);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    knob_.setDuration(140);
    knob_.setEasingCurve(QEasingCurve::OutCubic);
    knob_.setStartValue(0.0);
    knob_.setEndValue(1.0);
    connect(&knob_, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
}

QSize SwitchToggle::sizeHint() const
{
    return trackSize + QSize(2 * ringOutset, 2 * ringOutset);
}

void SwitchToggle::nextCheckState()
{
    // The state is the controller's to change; ask for the other one.
    Q_EMIT toggleRequested(!isChecked());
}

void SwitchToggle::checkStateSet()
{
    knob_.stop();
    if (!isVisible() || ThemeAppearance::reduceMotion(this)) {
        knob_.setCurrentTime(isChecked() ? knob_.duration() : 0);
        update();
        return;
    }
    knob_.setDirection(isChecked() ? QAbstractAnimation::Forward : QAbstractAnimation::Backward);
    knob_.start();
}

bool SwitchToggle::hitButton(const QPoint& position) const
{
    return rect().contains(position);
}

void SwitchToggle::paintEvent(QPaintEvent*)
{
    const Appearance appearance = ThemeAppearance::of(this);
    const qreal on = knob_.state() == QAbstractAnimation::Running ? knob_.currentValue().toReal()
                                                                  : (isChecked() ? 1.0 : 0.0);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track(QPointF(ringOutset, (height() - trackSize.height()) / 2.0), QSizeF(trackSize));
    const qreal radius = RoundedShape::capsuleRadius(track);
    const QColor edge = TavlinTheme::controlEdge.resolve(appearance);

    // A disabled switch is the enabled one faded: its track less solid, its knob still outlined
    // where the state puts it, so that the state reads all the same.
    painter.setOpacity(isEnabled() ? 1.0 : 0.45);
    QColor off = TavlinTheme::controlFill.resolve(appearance);
    off.setAlphaF(qMin(1.0f, off.alphaF() * 2.2f));
    QColor accent = TavlinTheme::brandAccent.resolve(appearance);
    QColor fill = off;
    fill.setRedF(off.redF() + (accent.redF() - off.redF()) * on);
    fill.setGreenF(off.greenF() + (accent.greenF() - off.greenF()) * on);
    fill.setBlueF(off.blueF() + (accent.blueF() - off.blueF()) * on);
    fill.setAlphaF(off.alphaF() + (accent.alphaF() - off.alphaF()) * on);
    RoundedShape::fill(painter, track, radius, fill);
    // Off, the track is all but the card's colour: its edge tells it from the card. On, the
    // accent does.
    if (on < 1.0) {
        QColor outline = edge;
        outline.setAlphaF(outline.alphaF() * (1.0 - on));
        RoundedShape::strokeInside(painter, track, radius, outline, 1);
    }

    const qreal inset = 2;
    const qreal diameter = track.height() - 2 * inset;
    const qreal x = track.left() + inset + (track.width() - diameter - 2 * inset) * on;
    const QRectF knob(x, track.top() + inset, diameter, diameter);
    painter.setPen(QPen(QColor(0, 0, 0, 40), 0.5));
    painter.setBrush(Qt::white);
    painter.drawEllipse(knob);
    if (!isEnabled()) {
        painter.setOpacity(1.0);
        painter.setPen(QPen(edge, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(knob.adjusted(0.5, 0.5, -0.5, -0.5));
    }

    if (KeyboardFocus::showsRing(this)) {
        const QRectF ring = track.adjusted(-ringOutset, -ringOutset, ringOutset, ringOutset);
        RoundedShape::strokeInside(painter, ring, RoundedShape::capsuleRadius(ring), accent, 2);
    }
}

} // namespace tavlin
