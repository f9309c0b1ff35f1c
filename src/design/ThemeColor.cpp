#include "ThemeColor.h"

namespace tavlin {

QColor srgb(unsigned rgb, double alpha)
{
    return QColor::fromRgbF(((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f,
                            float(alpha));
}

QColor ThemeColor::resolve(const Appearance& appearance) const
{
    if (m_provider)
        return m_provider(appearance);
    if (!appearance.dark)
        return srgb(m_light, m_lightAlpha);
    // The high-contrast value is for dark only: a light high-contrast appearance keeps the light rule.
    if (appearance.highContrast && m_darkHighContrast)
        return srgb(*m_darkHighContrast, 1.0);
    return srgb(m_dark, m_darkAlpha);
}

} // namespace tavlin
