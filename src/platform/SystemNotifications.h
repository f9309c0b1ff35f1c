#pragma once

#include <QObject>

namespace tavlin {

// The desktop's sleep, wake and login-session changes. The real source is logind over D-Bus;
// tests emit the signals directly.
class SystemNotifications : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

Q_SIGNALS:
    void willSleep();
    void didWake();
    void sessionDidResignActive();
    void sessionDidBecomeActive();
};

} // namespace tavlin
