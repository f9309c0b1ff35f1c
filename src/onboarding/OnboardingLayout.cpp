#include "OnboardingLayout.h"

#include <algorithm>

namespace tavlin {

OnboardingLayout OnboardingLayout::fit(QSizeF available, double scrollerWidth)
{
    const double width = available.width();
    const double height = available.height();
    OnboardingLayout layout;
    layout.scale = std::min(std::max(width, 1.0) / design.width(), 1.0);
    // A scaled design taller than the window scrolls, and its scroll bar takes width.
    if (scrollerWidth > 0 && height + 0.5 < layout.scale * design.height())
        layout.scale = std::min(std::max(width - scrollerWidth, 1.0) / design.width(), 1.0);
    layout.contentHeight = std::max(height / layout.scale, double(design.height()));
    return layout;
}

QSize OnboardingLayout::windowSize(std::optional<QSize> available)
{
    if (!available)
        return design;
    const auto side = [](int room, int designed) {
        const int kept = std::max(room - screenMargin, std::min(room, screenMargin));
        return std::clamp(kept, 1, designed);
    };
    return {side(available->width(), design.width()), side(available->height(), design.height())};
}

} // namespace tavlin
