#include "ContentWindow.h"

#include "AssistiveRoles.h"

#include <QVBoxLayout>
#include <QWidget>

namespace tavlin {

void ContentWindow::fill(QWidget* window, QWidget* content, const QString& identifier, const QString& title)
{
    AssistiveRoles::markWindow(window);
    window->setObjectName(identifier);
    window->setWindowTitle(title);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    if (content)
        layout->addWidget(content);
}

} // namespace tavlin
