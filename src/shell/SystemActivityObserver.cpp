#include "SystemActivityObserver.h"

#include "SystemNotifications.h"

namespace tavlin {

SystemActivityObserver::SystemActivityObserver(SystemNotifications& center, QObject* parent)
    : QObject(parent), center_(center)
{
}

SystemActivityObserver::~SystemActivityObserver()
{
    for (const QMetaObject::Connection& token : std::as_const(tokens_))
        QObject::disconnect(token);
}

void SystemActivityObserver::start()
{
    if (!tokens_.isEmpty())
        return;
    // The center is the context: a notification posted on another thread is applied on the main
    // thread, in order.
    const auto observe = [this](auto signal, Reason reason, bool begins) {
        tokens_.append(QObject::connect(
            &center_, signal, &center_, [this, reason, begins] { update(reason, begins); }, Qt::AutoConnection));
    };
    observe(&SystemNotifications::willSleep, Reason::systemSleep, true);
    observe(&SystemNotifications::didWake, Reason::systemSleep, false);
    observe(&SystemNotifications::sessionDidResignActive, Reason::sessionInactive, true);
    observe(&SystemNotifications::sessionDidBecomeActive, Reason::sessionInactive, false);
}

void SystemActivityObserver::stop()
{
    for (const QMetaObject::Connection& token : std::as_const(tokens_))
        QObject::disconnect(token);
    tokens_.clear();
    if (!reasons_.isEmpty()) {
        reasons_.clear();
        Q_EMIT suspendedChanged(false);
    }
}

void SystemActivityObserver::update(Reason reason, bool begins)
{
    const bool wasEmpty = reasons_.isEmpty();
    if (begins)
        reasons_.insert(reason);
    else
        reasons_.remove(reason);
    if (wasEmpty != reasons_.isEmpty())
        Q_EMIT suspendedChanged(!reasons_.isEmpty());
}

} // namespace tavlin
