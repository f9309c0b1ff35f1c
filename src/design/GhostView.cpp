#include "GhostView.h"

#include "AssistiveRoles.h"
#include "TavlinBrandAssets.h"

#include <QPainter>

namespace tavlin {

GhostView::GhostView(int size, QWidget* parent) : QWidget(parent), size_(size)
{
    setFixedSize(size, size);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // The mascot only decorates: the window's name and texts say everything it stands for.
    AssistiveRoles::markDecorative(this);
}

QSize GhostView::sizeHint() const
{
    return {size_, size_};
}

void GhostView::paintEvent(QPaintEvent*)
{
    if (drawn_.isNull() || drawn_.devicePixelRatio() != devicePixelRatioF())
        drawn_ = TavlinBrandAssets::drawn(TavlinBrandAssets::mascot(), QWidget::size(), devicePixelRatioF());
    QPainter(this).drawPixmap(0, 0, drawn_);
}

} // namespace tavlin
