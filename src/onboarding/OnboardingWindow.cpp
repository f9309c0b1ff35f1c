#include "OnboardingWindow.h"

#include "ContentWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QWindow>

namespace tavlin {

OnboardingWindow::OnboardingWindow(QWidget* content, QSize size, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    ContentWindow::fill(this, content, QStringLiteral("onboarding"),
                        QCoreApplication::translate("Onboarding", "Welcome to Tavlin"));
    setFixedSize(size);
}

void OnboardingWindow::closeEvent(QCloseEvent* event)
{
    Q_EMIT willClose();
    event->accept();
}

void OnboardingWindow::mousePressEvent(QMouseEvent* event)
{
    // A press that no control took is on the background: dragging from it moves the window.
    if (event->button() == Qt::LeftButton) {
        pressedAt_ = event->position();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void OnboardingWindow::mouseMoveEvent(QMouseEvent* event)
{
    // The move starts with the drag, not the press: a window manager asked to move the window
    // after a quick click has already ended waits for a release that never comes, holding the
    // pointer and the keyboard until the user clicks again.
    if (pressedAt_ && (event->buttons() & Qt::LeftButton)
        && (event->position() - *pressedAt_).manhattanLength() >= QApplication::startDragDistance()) {
        pressedAt_.reset();
        if (windowHandle())
            windowHandle()->startSystemMove();
    }
    QWidget::mouseMoveEvent(event);
}

void OnboardingWindow::mouseReleaseEvent(QMouseEvent* event)
{
    pressedAt_.reset();
    QWidget::mouseReleaseEvent(event);
}

} // namespace tavlin
