#pragma once

#include <QWidget>

class QLabel;

namespace tavlin {

// Says a short text to assistive technology as it happens (an empty state that took the place of
// the records, the records back), wherever the keyboard is and without moving a screen reader's
// place: a notification inside a window's status bar, shown anew for each text. Orca speaks such a
// notification every time it shows, as its text alone, and puts it on the braille display, whereas
// it says nothing for a focus event on the object it is already on, nor, from Qt 6.4, for a
// changed name, which comes without its text.
class Announcer : public QWidget {
public:
    // Inside `statusBar`, which it marks as the window's status bar (AssistiveRoles). It takes no
    // room and draws nothing.
    explicit Announcer(QWidget* statusBar);

    // Says `text` while assistive technology listens and the window is the active one.
    void say(const QString& text);

private:
    QLabel* text_;
};

} // namespace tavlin
