#pragma once

#include <QSize>
#include <QSizeF>

#include <optional>

namespace tavlin {

// How the introduction's 620 by 500 design fits a window: the factor it is drawn at (never above
// 1, never 0) and the height of the unscaled column (never below 500). A pure calculation.
struct OnboardingLayout {
    static constexpr QSize design{620, 500};
    // Room kept between the window and the edges of the available area.
    static constexpr int screenMargin = 40;

    double scale = 1;
    double contentHeight = 500;

    // `scrollerWidth`: the width a scroll bar takes from the content, 0 where scroll bars overlay it.
    static OnboardingLayout fit(QSizeF available, double scrollerWidth);

    // The window's size in an available area (nothing: no screen). The margin is given up before
    // the window shrinks below it, so a tiny area still gets a window that fills it, never one of
    // 0 or less.
    static QSize windowSize(std::optional<QSize> available);
};

} // namespace tavlin
