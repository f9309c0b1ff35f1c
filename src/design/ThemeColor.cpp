#include "ThemeColor.h"

namespace tavlin {

QColor srgb(unsigned rgb, double alpha)
{
    return QColor::fromRgbF(((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f,
                            float(alpha));
}

QColor ThemeColor::resolve(const Appearance& appearance) const
{
    if (provider_)
        return provider_(appearance);
    if (!appearance.dark)
        return srgb(light_, lightAlpha_);
    // The high-contrast value is for dark only: a light high-contrast appearance keeps the light rule.
    if (appearance.highContrast && darkHighContrast_)
        return srgb(*darkHighContrast_, 1.0);
    return srgb(dark_, darkAlpha_);
}

} // namespace tavlin
