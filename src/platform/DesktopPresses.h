#pragma once

#include <QObject>

namespace tavlin {

// Presses of any mouse button anywhere on the desktop, whichever window they reach. Main thread.
class DesktopPresses : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Reports every press until stop(); false when presses cannot be watched here.
    virtual bool start() = 0;
    virtual void stop() = 0;

Q_SIGNALS:
    // One press, however many devices reported it.
    void pressed();
};

} // namespace tavlin
