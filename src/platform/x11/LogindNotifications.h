#pragma once

#include "SystemNotifications.h"

#include <QString>
#include <QVariantMap>

class QDBusMessage;

namespace tavlin {

// Sleep, wake and session changes from systemd-logind on the system bus: PrepareForSleep, and the
// Active property of this process's login session. Without a system bus (or logind) it reports
// nothing, and says so once in the log.
class LogindNotifications : public SystemNotifications {
    Q_OBJECT

public:
    explicit LogindNotifications(QObject* parent = nullptr);

private Q_SLOTS:
    void prepareForSleep(bool starting);
    void sessionPropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);

private:
    QString sessionPath_;
    bool sessionActive_ = true;
};

} // namespace tavlin
