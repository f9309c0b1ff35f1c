#include "SettingsAccessibility.h"

#include "AssistiveRoles.h"

#include <QAbstractButton>
#include <QAccessibleWidget>

namespace tavlin {

namespace {

const char* const kindProperty = "tavlinAccessibleKind";

class SectionTabAccessible : public QAccessibleWidget {
public:
    explicit SectionTabAccessible(QAbstractButton* button) : QAccessibleWidget(button, QAccessible::PageTab) { }
    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name)
            return static_cast<QAbstractButton*>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override
    {
        QAccessible::State tab = QAccessibleWidget::state();
        tab.selectable = true;
        tab.selected = static_cast<QAbstractButton*>(widget())->isChecked();
        return tab;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == pressAction())
            static_cast<QAbstractButton*>(widget())->click();
    }
};

QAccessibleInterface* settingsAccessible(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return nullptr;
    if (widget->property(kindProperty).toByteArray() == "sectionTab")
        return new SectionTabAccessible(static_cast<QAbstractButton*>(widget));
    return nullptr;
}

void mark(QWidget* widget, const char* kind)
{
    static const bool installed = (QAccessible::installFactory(settingsAccessible), true);
    Q_UNUSED(installed);
    widget->setProperty(kindProperty, QByteArray(kind));
}

} // namespace

void SettingsAccessibility::markDecorative(QWidget* widget)
{
    AssistiveRoles::markDecorative(widget);
}

void SettingsAccessibility::markSectionTab(QWidget* button)
{
    mark(button, "sectionTab");
}

} // namespace tavlin
