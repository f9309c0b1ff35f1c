#include "SettingsWindow.h"

#include "ContentWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

namespace tavlin {

SettingsWindow::SettingsWindow(QWidget* content, QWidget* parent) : QWidget(parent, Qt::Window)
{
    ContentWindow::fill(this, content, QStringLiteral("settings"), QCoreApplication::translate("Tavlin", "Settings"));
    setFixedSize(size);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void SettingsWindow::closeEvent(QCloseEvent* event)
{
    Q_EMIT aboutToClose();
    // Hidden rather than closed: an accepted close destroys the native window, and the frame
    // keeps one for its life.
    hide();
    event->ignore();
}

} // namespace tavlin
