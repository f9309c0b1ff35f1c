#include "SettingsWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace tavlin {

SettingsWindow::SettingsWindow(QWidget* content, QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("settings"));
    setWindowTitle(QCoreApplication::translate("Tavlin", "Settings"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    setFixedSize(size);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void SettingsWindow::setFloating(bool floating)
{
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == floating)
        return;
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, floating);
    if (visible)
        show(); // changing the flags hides the window on X11
}

void SettingsWindow::closeEvent(QCloseEvent* event)
{
    Q_EMIT aboutToClose();
    event->accept();
}

} // namespace tavlin
