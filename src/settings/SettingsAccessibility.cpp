#include "SettingsAccessibility.h"

#include "AssistiveRoles.h"

#include <QAbstractButton>
#include <QAccessibleWidget>

namespace tavlin {

namespace {

const char* const kindProperty = "tavlinAccessibleKind";
const char* const selectedProperty = "tavlinSectionSelected";

bool listHasFocus(const QWidget* tab)
{
    return tab->parentWidget() && tab->parentWidget()->hasFocus();
}

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
        tab.selected = SettingsAccessibility::isSectionTabSelected(widget());
        tab.focusable = true;
        tab.focused = tab.selected && listHasFocus(widget());
        return tab;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == pressAction())
            static_cast<QAbstractButton*>(widget())->click();
    }
};

// The list itself is never where the focus is heard: its selected tab is.
class SectionListAccessible : public QAccessibleWidget {
public:
    explicit SectionListAccessible(QWidget* list) : QAccessibleWidget(list, QAccessible::PageTabList) { }
    QAccessible::State state() const override
    {
        QAccessible::State list = QAccessibleWidget::state();
        list.focused = false;
        return list;
    }
    QAccessibleInterface* focusChild() const override
    {
        for (int i = 0; i < childCount(); ++i) {
            QAccessibleInterface* tab = child(i);
            if (tab && tab->state().focused)
                return tab;
        }
        return nullptr;
    }
};

QAccessibleInterface* settingsAccessible(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return nullptr;
    const QByteArray kind = widget->property(kindProperty).toByteArray();
    if (kind == "sectionTab")
        return new SectionTabAccessible(static_cast<QAbstractButton*>(widget));
    if (kind == "sectionList")
        return new SectionListAccessible(widget);
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

void SettingsAccessibility::markSectionList(QWidget* sidebar)
{
    mark(sidebar, "sectionList");
}

void SettingsAccessibility::markSectionTab(QWidget* button)
{
    mark(button, "sectionTab");
}

void SettingsAccessibility::selectSectionTab(QWidget* button, bool selected)
{
    if (isSectionTabSelected(button) == selected)
        return;
    button->setProperty(selectedProperty, selected);
    announceSectionTab(button);
}

bool SettingsAccessibility::isSectionTabSelected(const QWidget* button)
{
    return button->property(selectedProperty).toBool();
}

void SettingsAccessibility::announceSectionTab(QWidget* button)
{
    if (!QAccessible::isActive())
        return;
    if (listHasFocus(button) && isSectionTabSelected(button)) {
        QAccessibleEvent focus(button, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
    QAccessibleEvent selection(button, QAccessible::Selection);
    QAccessible::updateAccessibility(&selection);
}

} // namespace tavlin
