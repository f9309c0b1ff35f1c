#include "LogindNotifications.h"

#include "Log.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>

#include <unistd.h>

namespace tavlin {

namespace {
const QString service = QStringLiteral("org.freedesktop.login1");
const QString managerPath = QStringLiteral("/org/freedesktop/login1");
const QString managerInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString sessionInterface = QStringLiteral("org.freedesktop.login1.Session");
} // namespace

LogindNotifications::LogindNotifications(QObject* parent) : SystemNotifications(parent)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        Log::error(QStringLiteral("No system bus: sleep and session changes will not pause clipboard monitoring"));
        return;
    }
    bus.connect(service, managerPath, managerInterface, QStringLiteral("PrepareForSleep"), this,
                SLOT(prepareForSleep(bool)));

    QDBusInterface manager(service, managerPath, managerInterface, bus);
    const QDBusReply<QDBusObjectPath> session = manager.call(QStringLiteral("GetSessionByPID"),
                                                             static_cast<quint32>(::getpid()));
    if (!session.isValid()) {
        Log::error(
            QStringLiteral("No login session from logind (%1): session changes will not pause clipboard monitoring")
                .arg(session.error().message()));
        return;
    }
    sessionPath_ = session.value().path();
    bus.connect(service, sessionPath_, QStringLiteral("org.freedesktop.DBus.Properties"),
                QStringLiteral("PropertiesChanged"), this,
                SLOT(sessionPropertiesChanged(QString, QVariantMap, QStringList)));
}

void LogindNotifications::prepareForSleep(bool starting)
{
    if (starting)
        Q_EMIT willSleep();
    else
        Q_EMIT didWake();
}

void LogindNotifications::sessionPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                                   const QStringList& invalidated)
{
    if (interface != sessionInterface)
        return;
    bool active = sessionActive_;
    if (changed.contains(QStringLiteral("Active"))) {
        active = changed.value(QStringLiteral("Active")).toBool();
    } else if (invalidated.contains(QStringLiteral("Active"))) {
        QDBusInterface session(service, sessionPath_, sessionInterface, QDBusConnection::systemBus());
        active = session.property("Active").toBool();
    } else {
        return;
    }
    if (active == sessionActive_)
        return;
    sessionActive_ = active;
    if (active)
        Q_EMIT sessionDidBecomeActive();
    else
        Q_EMIT sessionDidResignActive();
}

} // namespace tavlin
