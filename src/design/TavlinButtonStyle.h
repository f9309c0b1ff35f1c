#pragma once

#include "Appearance.h"

#include <QColor>
#include <QFont>

namespace tavlin {

// The application's capsule button look, for the action buttons of the settings window and the
// introduction: a filled accent button, a neutral filled button, or a borderless text button, at
// a height the caller chooses.
struct TavlinButtonStyle {
    enum class Kind { primary, secondary, quiet };

    Kind kind = Kind::primary;
    // The least height of primary and secondary buttons; quiet buttons are always 26 high.
    int height = 34;

    bool operator==(const TavlinButtonStyle&) const = default;

    QFont font() const;
    int horizontalPadding() const;
    int minimumHeight() const;
    // The capsule's fill at rest, hovered, pressed.
    QColor background(const Appearance& appearance, bool hovering, bool pressed) const;
    QColor labelColor(const Appearance& appearance) const;

    // Room kept around the capsule for the focus ring, so that focus never moves the button.
    static constexpr int focusRingOutset = 3;
};

} // namespace tavlin
