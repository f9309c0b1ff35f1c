#include "SettingsWindow.h"

#include "AssistiveRoles.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace tavlin {

SettingsWindow::SettingsWindow(QWidget* content, QWidget* parent) : QWidget(parent, Qt::Window)
{
    AssistiveRoles::markWindow(this);
    setObjectName(QStringLiteral("settings"));
    setWindowTitle(QCoreApplication::translate("Tavlin", "Settings"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
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
