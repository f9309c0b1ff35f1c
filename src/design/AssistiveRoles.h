#pragma once

class QWidget;

namespace tavlin {

// What assistive technology is told about the app's own windows and ornaments, beyond what Qt
// infers from a widget's class.
struct AssistiveRoles {
    // A symbol, picture or hairline that only decorates: hidden, as the text beside it says it all.
    static void markDecorative(QWidget* widget);
    // One of the app's own top-level windows: it reports itself as a frame, instead of the
    // anonymous filler of a plain widget. Marked before anything asks for its interface.
    static void markWindow(QWidget* window);
};

} // namespace tavlin
