#pragma once

#include "Appearance.h"

#include <QColor>

#include <optional>

namespace tavlin {

// One named colour of the palette. Most are adaptive: a light and a dark sRGB value, each with its
// own opacity, and optionally a value of their own for dark with increased contrast. A few follow
// a rule of their own (a provider) or never change (fixed). Resolved for an appearance whenever a
// view paints, so a switch of theme needs no rebuild.
class ThemeColor {
public:
    using Provider = QColor (*)(const Appearance&);

    // light, dark: 24-bit 0xRRGGBB values.
    static constexpr ThemeColor adaptive(unsigned light, unsigned dark, double lightAlpha = 1.0, double darkAlpha = 1.0,
                                         std::optional<unsigned> darkHighContrast = std::nullopt)
    {
        ThemeColor color;
        color.light_ = light;
        color.dark_ = dark;
        color.lightAlpha_ = lightAlpha;
        color.darkAlpha_ = darkAlpha;
        color.darkHighContrast_ = darkHighContrast;
        return color;
    }
    static constexpr ThemeColor fixed(unsigned rgb) { return adaptive(rgb, rgb); }
    static constexpr ThemeColor dynamic(Provider provider)
    {
        ThemeColor color;
        color.provider_ = provider;
        return color;
    }

    QColor resolve(const Appearance& appearance) const;

    bool operator==(const ThemeColor&) const = default;

private:
    constexpr ThemeColor() = default;

    unsigned light_ = 0;
    unsigned dark_ = 0;
    double lightAlpha_ = 1.0;
    double darkAlpha_ = 1.0;
    std::optional<unsigned> darkHighContrast_;
    Provider provider_ = nullptr;
};

// An sRGB colour from a 24-bit value and an opacity.
QColor srgb(unsigned rgb, double alpha = 1.0);

} // namespace tavlin
