#include "CaretBlinkLimit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QStyleHints>
#include <QWidget>

#include <utility>

namespace tavlin {

CaretBlinkLimit::CaretBlinkLimit(QWidget* field, int idleMilliseconds) : QObject(field), field_(field)
{
    idle_.setSingleShot(true);
    idle_.setInterval(idleMilliseconds);
    connect(&idle_, &QTimer::timeout, this, &CaretBlinkLimit::stop);
    field->installEventFilter(this);
    if (field->hasFocus())
        idle_.start();
}

CaretBlinkLimit::~CaretBlinkLimit()
{
    resume();
}

bool CaretBlinkLimit::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::FocusIn:
        resume();
        idle_.start();
        break;
    case QEvent::FocusOut:
        resume();
        idle_.stop();
        break;
    default: break;
    }
    return false;
}

void CaretBlinkLimit::resume()
{
    // The field's line control follows the period's change: it blinks again, from visible.
    if (flashTime_ > 0)
        QGuiApplication::styleHints()->setCursorFlashTime(std::exchange(flashTime_, 0));
}

void CaretBlinkLimit::stop()
{
    QStyleHints* hints = QGuiApplication::styleHints();
    if (flashTime_ > 0 || hints->cursorFlashTime() <= 0 || !field_->hasFocus())
        return;
    flashTime_ = hints->cursorFlashTime();
    // Below two milliseconds the caret is drawn steadily, without a timer.
    hints->setCursorFlashTime(0);
}

} // namespace tavlin
