#pragma once

#include "ThemeColor.h"

namespace tavlin::TavlinTheme {

// The palette of every window. Views resolve a colour for the appearance of the window they are
// in: TavlinTheme::brandAccent.resolve(ThemeAppearance::of(this)).

// Colours of the desktop itself, for which X11 offers no source; the values are the usual
// light and dark label, text-background, brown and blue.
QColor labelColorProvider(const Appearance&);
QColor textBackgroundProvider(const Appearance&);
inline constexpr ThemeColor labelColor = ThemeColor::dynamic(labelColorProvider);
inline constexpr ThemeColor textBackgroundColor = ThemeColor::dynamic(textBackgroundProvider);
inline constexpr ThemeColor systemBrown = ThemeColor::adaptive(0xA2845E, 0xAC8E68);
inline constexpr ThemeColor systemBlue = ThemeColor::adaptive(0x007AFF, 0x0A84FF);
// The standard red of error texts and of buttons that delete: dark enough in light, and light
// enough in dark, to read at 4.5:1 on a button's capsule, hovered or not.
inline constexpr ThemeColor systemRed = ThemeColor::adaptive(0xC8001A, 0xFF8780);

// Surfaces and outlines.
inline constexpr ThemeColor appColor = ThemeColor::adaptive(0xFFFBF8, 0x000000);
inline constexpr ThemeColor sidebarColor = ThemeColor::adaptive(0xFFFFFF, 0x080809);
inline constexpr ThemeColor surfaceColor = ThemeColor::adaptive(0xFFFFFF, 0x111113);
inline constexpr ThemeColor elevatedColor = ThemeColor::adaptive(0xF0EEF6, 0x1B1B1E);
inline constexpr ThemeColor selectedColor = ThemeColor::adaptive(0xE5DDF5, 0x262033);
inline constexpr const ThemeColor& gridSelectedColor = selectedColor;
inline constexpr ThemeColor selectedOutlineColor = ThemeColor::adaptive(0x000000, 0xA995E8, 0.0, 0.55);
inline constexpr ThemeColor hoverColor = ThemeColor::adaptive(0xDCCFFF, 0xFFFFFF, 0.35, 0.06);
inline constexpr ThemeColor focusColor = ThemeColor::adaptive(0x6652AD, 0xBCAAFF);
inline constexpr ThemeColor borderColor = ThemeColor::adaptive(0x2E2F36, 0x2A2A2E, 0.06, 1.0, 0x6E6E76);

QColor richTextFallbackProvider(const Appearance&);
QColor richTextLightInkProvider(const Appearance&);
QColor metadataProvider(const Appearance&);
// The background of rich text that carries no colours of its own.
inline constexpr ThemeColor richTextFallbackColor = ThemeColor::dynamic(richTextFallbackProvider);
// A dark surface in both appearances, for rich text written mostly in light ink.
inline constexpr ThemeColor richTextLightInkSurface = ThemeColor::dynamic(richTextLightInkProvider);
// The label colour at 0.65, opaque under increased contrast (light or dark).
inline constexpr ThemeColor metadataColor = ThemeColor::dynamic(metadataProvider);

// Fixed decorative colours.
inline constexpr ThemeColor sky = ThemeColor::fixed(0xBFD8FF);
inline constexpr ThemeColor lilac = ThemeColor::fixed(0xC9B8FF);
inline constexpr ThemeColor graphite = ThemeColor::fixed(0x2E2F36);

// The names views use; each is the very colour it names.
inline constexpr const ThemeColor& appBackground = appColor;
inline constexpr const ThemeColor& sidebarBackground = sidebarColor;
inline constexpr const ThemeColor& contentSurface = surfaceColor;
inline constexpr const ThemeColor& elevatedSurface = elevatedColor;
inline constexpr const ThemeColor& selectedBackground = selectedColor;
inline constexpr const ThemeColor& brandAccent = focusColor;
inline constexpr const ThemeColor& accent = focusColor;
inline constexpr const ThemeColor& border = borderColor;
inline constexpr const ThemeColor& selectedOutline = selectedOutlineColor;
inline constexpr const ThemeColor& secondaryText = metadataColor;
inline constexpr const ThemeColor& primaryText = labelColor;

// Colours of controls; each is its own, even where the values resemble a colour above.
inline constexpr ThemeColor actionText = ThemeColor::adaptive(0xFFFBF8, 0x000000);
inline constexpr ThemeColor controlSurface = ThemeColor::adaptive(0xFFFFFF, 0xFFFFFF, 0.7, 0.06);
inline constexpr ThemeColor controlSelection = ThemeColor::adaptive(0xDCCFFF, 0x4A3D78);
inline constexpr ThemeColor controlBorder = ThemeColor::adaptive(0x2E2F36, 0xF5F5F7, 0.09, 0.16, 0x6E6E76);
// The edge of what must be told from the surface around it, at 3:1 against every card and
// sheet: a switch that is off, and a pop-up (menu, drop-down list, tool tip) over a window of its
// own colour.
inline constexpr ThemeColor controlEdge = ThemeColor::adaptive(0x86868C, 0x6E6E76);
// The line between groups of a menu's items.
inline constexpr ThemeColor menuSeparator = ThemeColor::adaptive(0x2E2F36, 0xFFFFFF, 0.24, 0.18, 0x6E6E76);
// The edge of a floating panel: without a compositor it has no shadow to lift it off a window
// of the same colour.
inline constexpr ThemeColor panelEdge = ThemeColor::adaptive(0x2E2F36, 0xFFFFFF, 0.22, 0.14, 0x6E6E76);
// Under increased contrast, the edge of a capsule that must stand out at 3:1 from any card, row or
// sheet it lies on: a button, a kind badge.
inline constexpr ThemeColor contrastEdge = ThemeColor::adaptive(0x000000, 0xFFFFFF, 0.55, 0.55);
inline constexpr ThemeColor controlFill = ThemeColor::adaptive(0x2E2F36, 0xFFFFFF, 0.05, 0.1);
inline constexpr ThemeColor hoverSurface = ThemeColor::adaptive(0xDCCFFF, 0xFFFFFF, 0.35, 0.15);
inline constexpr ThemeColor copyConfirmationFill = ThemeColor::adaptive(0xDCCFFF, 0xFFFFFF, 0.45, 0.06);
inline constexpr ThemeColor copyConfirmationBadge = ThemeColor::adaptive(0xFFFFFF, 0x1B1B1E);
inline constexpr ThemeColor copySurface = ThemeColor::adaptive(0x2E2F36, 0xF5F5F7);
inline constexpr ThemeColor copyText = ThemeColor::adaptive(0xFFFBF8, 0x000000);

} // namespace tavlin::TavlinTheme
