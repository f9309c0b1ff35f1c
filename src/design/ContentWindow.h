#pragma once

#include <QString>

class QWidget;

namespace tavlin {

// What the app's own top-level windows share: one content view edge to edge, an identifier for
// tests and assistive technology, which hears the window as a frame, and a title. A window may
// take its content later (null `content`), into the layout made here.
struct ContentWindow {
    static void fill(QWidget* window, QWidget* content, const QString& identifier, const QString& title);
};

} // namespace tavlin
