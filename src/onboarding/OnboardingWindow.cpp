#include "OnboardingWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QVBoxLayout>
#include <QWindow>

namespace tavlin {

OnboardingWindow::OnboardingWindow(QWidget* content, QSize size, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("onboarding"));
    setWindowTitle(QCoreApplication::translate("Onboarding", "Welcome to Tavlin"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    setFixedSize(size);
}

void OnboardingWindow::closeEvent(QCloseEvent* event)
{
    Q_EMIT willClose();
    event->accept();
}

void OnboardingWindow::mousePressEvent(QMouseEvent* event)
{
    // A press that no control took is on the background: it moves the window.
    if (event->button() == Qt::LeftButton && windowHandle() && windowHandle()->startSystemMove()) {
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

} // namespace tavlin
