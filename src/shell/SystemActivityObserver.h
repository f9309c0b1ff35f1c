#pragma once

#include <QList>
#include <QMetaObject>
#include <QSet>

#include <functional>

namespace tavlin {

class SystemNotifications;

// Reports whether clipboard monitoring should pause: while the computer sleeps or the login
// session is not the active one. Edge-triggered: true when the first reason begins, false when
// the last one ends. Main thread only.
class SystemActivityObserver {
public:
    enum class Reason { systemSleep, sessionInactive };

    SystemActivityObserver(SystemNotifications& center, std::function<void(bool)> onChange);
    ~SystemActivityObserver();

    void start();
    // Reports false when a reason was in force.
    void stop();

private:
    void update(Reason reason, bool begins);

    SystemNotifications& center_;
    std::function<void(bool)> onChange_;
    QList<QMetaObject::Connection> tokens_;
    QSet<Reason> reasons_;
};

} // namespace tavlin
