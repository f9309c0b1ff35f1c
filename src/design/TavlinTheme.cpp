#include "TavlinTheme.h"

namespace tavlin::TavlinTheme {

QColor labelColorProvider(const Appearance& appearance)
{
    return srgb(appearance.dark ? 0xFFFFFF : 0x000000, appearance.highContrast ? 1.0 : 0.85);
}

QColor textBackgroundProvider(const Appearance& appearance)
{
    return srgb(appearance.dark ? 0x1E1E1E : 0xFFFFFF);
}

QColor richTextFallbackProvider(const Appearance& appearance)
{
    return appearance.dark ? srgb(0x1B1B1E) : textBackgroundColor.resolve(appearance);
}

QColor richTextLightInkProvider(const Appearance& appearance)
{
    return appearance.dark ? srgb(0x1B1B1E) : QColor::fromRgbF(0.12f, 0.13f, 0.17f, 1.0f);
}

QColor metadataProvider(const Appearance& appearance)
{
    QColor color = labelColor.resolve(appearance);
    color.setAlphaF(appearance.highContrast ? 1.0f : 0.65f);
    return color;
}

} // namespace tavlin::TavlinTheme
