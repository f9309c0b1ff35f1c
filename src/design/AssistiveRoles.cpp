#include "AssistiveRoles.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace tavlin {

namespace {

const char* const decorativeProperty = "tavlinDecorative";
const char* const windowProperty = "tavlinWindow";

class DecorativeAccessible : public QAccessibleWidget {
public:
    explicit DecorativeAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Graphic) { }
    QAccessible::State state() const override
    {
        QAccessible::State hidden = QAccessibleWidget::state();
        hidden.invisible = true;
        return hidden;
    }
    QString text(QAccessible::Text) const override { return {}; }
};

QAccessibleInterface* decorativeAccessible(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    return widget && widget->property(decorativeProperty).toBool() ? new DecorativeAccessible(widget) : nullptr;
}

QAccessibleInterface* windowAccessible(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    return widget && widget->property(windowProperty).toBool() ? new QAccessibleWidget(widget, QAccessible::Window)
                                                               : nullptr;
}

} // namespace

void AssistiveRoles::markDecorative(QWidget* widget)
{
    static const bool installed = (QAccessible::installFactory(decorativeAccessible), true);
    Q_UNUSED(installed);
    widget->setProperty(decorativeProperty, true);
}

void AssistiveRoles::markWindow(QWidget* window)
{
    static const bool installed = (QAccessible::installFactory(windowAccessible), true);
    Q_UNUSED(installed);
    window->setProperty(windowProperty, true);
}

} // namespace tavlin
