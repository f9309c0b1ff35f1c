#pragma once

// Contrast as WCAG measures it, for tests of what people must be able to tell apart.
#include <QColor>
#include <QImage>

#include <algorithm>
#include <cmath>

namespace tavlin::test {

inline double relativeLuminance(const QColor& color)
{
    const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) + 0.0722 * linear(color.blueF());
}

// The colour seen where `ink`, at its opacity, lies over an opaque `surface`.
inline QColor over(const QColor& ink, const QColor& surface)
{
    const double a = ink.alphaF();
    return QColor::fromRgbF(float(ink.redF() * a + surface.redF() * (1 - a)),
                            float(ink.greenF() * a + surface.greenF() * (1 - a)),
                            float(ink.blueF() * a + surface.blueF() * (1 - a)));
}

// The contrast ratio (1 to 21) of ink, blended by its opacity, over an opaque surface.
inline double contrast(const QColor& ink, const QColor& surface)
{
    const double l1 = relativeLuminance(over(ink, surface));
    const double l2 = relativeLuminance(surface);
    return (std::max(l1, l2) + 0.05) / (std::min(l1, l2) + 0.05);
}

// The strongest contrast any pixel of `area` in the picture makes against `surface`.
inline double strongestContrast(const QImage& image, const QRect& area, const QColor& surface)
{
    double strongest = 1;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x)
            strongest = std::max(strongest, contrast(image.pixelColor(x, y), surface));
    }
    return strongest;
}

} // namespace tavlin::test
