#include "DesktopFileManager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>
#include <QStringList>

namespace tavlin {

void DesktopFileManager::openFolderOf(const QUrl& file)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(file.toLocalFile()).absolutePath()));
}

void DesktopFileManager::showItems(const QList<QUrl>& files)
{
    if (files.isEmpty())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolderOf(files.first());
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    QStringList uris;
    for (const QUrl& file : files)
        uris.append(file.toString(QUrl::FullyEncoded));
    call << uris << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    const QUrl first = files.first();
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [first](QDBusPendingCallWatcher* finished) {
        finished->deleteLater();
        if (finished->isError())
            openFolderOf(first);
    });
}

} // namespace tavlin
