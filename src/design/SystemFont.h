#pragma once

#include <QFont>

namespace tavlin {

// The interface fonts, sized in pixels so that the layout's measurements hold on every screen.
struct SystemFont {
    static QFont regular(int pixelSize, QFont::Weight weight = QFont::Normal);
    static QFont monospaced(int pixelSize, QFont::Weight weight = QFont::Normal);
    // Reads the desktop's font configuration and loads the faces the windows draw their text in,
    // once: a window opened afterwards does not wait for it.
    static void prepare();
};

} // namespace tavlin
