#pragma once

namespace tavlin {

// The appearance a colour is resolved for: light or dark, each with or without the desktop's
// increased contrast. One window has one appearance at a time (see ThemeAppearance).
struct Appearance {
    bool dark = false;
    bool highContrast = false;

    bool operator==(const Appearance&) const = default;

    static constexpr Appearance light() { return {false, false}; }
    static constexpr Appearance darkAppearance() { return {true, false}; }
};

} // namespace tavlin
