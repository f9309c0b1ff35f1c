#pragma once

class QWidget;

namespace tavlin {

// Whether a control's focus ring shows: only for focus that came from the keyboard (Tab), not
// for the focus a window hands its first control or a click gives, so that rings mark keyboard
// navigation alone.
struct KeyboardFocus {
    // Starts following the widget's focus changes.
    static void track(QWidget* widget);
    static bool showsRing(const QWidget* widget);
    // Whether the focus last came to the widget from the keyboard, focused now or not.
    static bool cameByKeyboard(const QWidget* widget);
};

} // namespace tavlin
