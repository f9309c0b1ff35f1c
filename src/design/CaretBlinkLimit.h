#pragma once

#include <QObject>
#include <QTimer>

class QWidget;

namespace tavlin {

// Stops a text field's caret from blinking after some time without input, as GTK does, leaving
// it shown steadily: an idle window then wakes nobody twice a second. A key press, a click or a
// focus change in the field starts the blinking again. The desktop's blink period is kept and
// put back; while stopped, the period is the application's (only the focused field blinks).
class CaretBlinkLimit : public QObject {
public:
    explicit CaretBlinkLimit(QWidget* field, int idleMilliseconds = 10000);
    ~CaretBlinkLimit() override;

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resume();
    void stop();

    QWidget* field_;
    QTimer idle_;
    int flashTime_ = 0; // the period to put back, while stopped
};

} // namespace tavlin
