#include "OnboardingSegmented.h"

#include "AssistiveRoles.h"
#include "ButtonLook.h"
#include "RoundedShape.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>

namespace tavlin {

OnboardingSegmented::OnboardingSegmented(const QString& label, const QStringList& titles, QWidget* parent)
    : QWidget(parent)
{
    setAccessibleName(label);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    for (int i = 0; i < titles.size(); ++i) {
        auto* segment = ButtonLook::push(ButtonLook::withKind(ButtonLook::Kind::segment), titles[i], this);
        segment->setAccessibleName(titles[i]);
        segment->setCheckable(true);
        AssistiveRoles::markChoice(segment);
        // A click or assistive technology toggles the segment: the owner hears the request and
        // decides what stays selected.
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
    RoundedShape::fill(painter, track, RoundedShape::capsuleRadius(track),
                       TavlinTheme::controlFill.resolve(ThemeAppearance::of(this)));
}

} // namespace tavlin
