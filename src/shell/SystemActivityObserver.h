#pragma once

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QSet>

namespace tavlin {

class SystemNotifications;

// Reports whether clipboard monitoring should pause: while the computer sleeps or the login
// session is not the active one. Edge-triggered: true when the first reason begins, false when
// the last one ends. Main thread only.
class SystemActivityObserver : public QObject {
    Q_OBJECT

public:
    enum class Reason { systemSleep, sessionInactive };

    explicit SystemActivityObserver(SystemNotifications& center, QObject* parent = nullptr);
    ~SystemActivityObserver() override;

    void start();
    // Reports false when a reason was in force.
    void stop();

Q_SIGNALS:
    void suspendedChanged(bool suspended);

private:
    void update(Reason reason, bool begins);

    SystemNotifications& center_;
    QList<QMetaObject::Connection> tokens_;
    QSet<Reason> reasons_;
};

} // namespace tavlin
