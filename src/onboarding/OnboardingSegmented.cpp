#include "OnboardingSegmented.h"

#include "KeyboardFocus.h"
#include "RoundedShape.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPainter>

namespace tavlin {

namespace {

class Segment : public QAbstractButton {
public:
    Segment(const QString& title, QWidget* parent) : QAbstractButton(parent)
    {
        setText(title);
        setAccessibleName(title);
        setCheckable(true);
        setFocusPolicy(Qt::TabFocus);
        setAttribute(Qt::WA_Hover);
        KeyboardFocus::track(this);
    }

    QSize sizeHint() const override
    {
        const QFontMetrics metrics(SystemFont::regular(12, QFont::DemiBold));
        return {std::max(62, metrics.horizontalAdvance(text()) + 24), 26};
    }

protected:
    // The owner decides the selection; a click only asks for it.
    void nextCheckState() override {}

    void paintEvent(QPaintEvent*) override
    {
        const Appearance appearance = ThemeAppearance::of(this);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF pill = rect();
        const qreal radius = RoundedShape::capsuleRadius(pill);
        if (isChecked())
            RoundedShape::fill(painter, pill, radius, TavlinTheme::controlSelection.resolve(appearance));
        else if (underMouse())
            RoundedShape::fill(painter, pill, radius, TavlinTheme::hoverSurface.resolve(appearance));
        const bool ring = KeyboardFocus::showsRing(this);
        if (ring || (isChecked() && appearance.highContrast))
            RoundedShape::strokeInside(painter, pill, radius, TavlinTheme::brandAccent.resolve(appearance), ring ? 2 : 1);
        painter.setFont(SystemFont::regular(12, isChecked() ? QFont::DemiBold : QFont::Medium));
        painter.setPen(TavlinTheme::primaryText.resolve(appearance));
        painter.drawText(pill, Qt::AlignCenter, text());
    }
};

} // namespace

OnboardingSegmented::OnboardingSegmented(const QString& label, const QStringList& titles, QWidget* parent)
    : QWidget(parent)
{
    setAccessibleName(label);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    for (int i = 0; i < titles.size(); ++i) {
        auto* segment = new Segment(titles[i], this);
        connect(segment, &QAbstractButton::clicked, this, [this, i] { Q_EMIT activated(i); });
        // Assistive technology toggles a segment instead of clicking it: the same request.
        connect(segment, &QAbstractButton::toggled, this, [this, i](bool checked) {
            if (showing_)
                return;
            setSelectedIndex(selected_);
            if (checked)
                Q_EMIT activated(i);
        });
        layout->addWidget(segment);
        segments_.append(segment);
    }
}

void OnboardingSegmented::setSelectedIndex(int index)
{
    selected_ = index;
    showing_ = true;
    for (int i = 0; i < segments_.size(); ++i)
        segments_[i]->setChecked(i == index);
    showing_ = false;
}

void OnboardingSegmented::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track = rect();
    RoundedShape::fill(painter, track, RoundedShape::capsuleRadius(track), TavlinTheme::controlFill.resolve(ThemeAppearance::of(this)));
}

} // namespace tavlin
