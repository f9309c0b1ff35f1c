#include "AssistiveRoles.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QLabel>
#include <QPointer>
#include <QTextDocumentFragment>

namespace tavlin {

namespace {

const char* const kindProperty = "tavlinAccessibleKind";
const char* const popupOpenProperty = "tavlinPopupOpen";
const char* const popupProperty = "tavlinPopup";
const char* const openerProperty = "tavlinPopupOpener";

enum class Kind { none, decorative, window, choice, popupButton, heading, statusBar };

Kind kindOf(const QObject* object)
{
    return static_cast<Kind>(object->property(kindProperty).toInt());
}

QWidget* widgetProperty(const QObject* object, const char* name)
{
    return object->property(name).value<QPointer<QWidget>>();
}

QString buttonName(const QAbstractButton* button)
{
    if (!button->accessibleName().isEmpty())
        return button->accessibleName();
    return QString(button->text()).remove(u'&');
}

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

// A press goes the way of a click, so that the owner of the button hears it as it hears the mouse.
class ButtonAccessible : public QAccessibleWidget {
public:
    ButtonAccessible(QAbstractButton* button, QAccessible::Role role) : QAccessibleWidget(button, role) { }
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? buttonName(button()) : QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == pressAction() && button()->isEnabled())
            button()->click();
    }
};

// Choosing it, by a press or a toggle, is a click: the owner decides what stays chosen.
class ChoiceAccessible : public ButtonAccessible {
public:
    explicit ChoiceAccessible(QAbstractButton* button) : ButtonAccessible(button, QAccessible::RadioButton) { }
    QStringList actionNames() const override { return {pressAction(), toggleAction()}; }
    void doAction(const QString& action) override
    {
        if (actionNames().contains(action) && button()->isEnabled())
            button()->click();
    }
    QAccessible::State state() const override
    {
        QAccessible::State choice = QAccessibleWidget::state();
        choice.checkable = true;
        choice.checked = button()->isChecked();
        return choice;
    }
};

// One of the app's own windows; a pop-up one belongs to the button that opened it.
class WindowAccessible : public QAccessibleWidget {
public:
    explicit WindowAccessible(QWidget* window) : QAccessibleWidget(window, QAccessible::Window) { }
    QAccessibleInterface* parent() const override
    {
        if (QWidget* opener = widgetProperty(widget(), openerProperty))
            return QAccessible::queryAccessibleInterface(opener);
        return QAccessibleWidget::parent();
    }
};

// Whether the button is also checked (the source filter's button is, while a filter is on) is for
// the eye: its title already says what is chosen.
class PopupButtonAccessible : public ButtonAccessible {
public:
    explicit PopupButtonAccessible(QAbstractButton* button) : ButtonAccessible(button, QAccessible::ButtonMenu) { }
    QAccessible::State state() const override
    {
        QAccessible::State popup = QAccessibleWidget::state();
        popup.hasPopup = true;
        popup.expandable = true;
        popup.expanded = button()->property(popupOpenProperty).toBool();
        return popup;
    }
    // Its pop-up window, while that shows, comes after what the button holds of its own.
    int childCount() const override { return QAccessibleWidget::childCount() + (shownPopup() ? 1 : 0); }
    QAccessibleInterface* child(int index) const override
    {
        QWidget* popup = shownPopup();
        if (popup && index == QAccessibleWidget::childCount())
            return QAccessible::queryAccessibleInterface(popup);
        return QAccessibleWidget::child(index);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        QWidget* popup = shownPopup();
        if (popup && child && child->object() == popup)
            return QAccessibleWidget::childCount();
        return QAccessibleWidget::indexOfChild(child);
    }

private:
    QWidget* shownPopup() const
    {
        QWidget* popup = widgetProperty(widget(), popupProperty);
        return popup && popup->isVisible() ? popup : nullptr;
    }
};

class HeadingAccessible : public QAccessibleWidget {
public:
    explicit HeadingAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::Heading) { }
    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name)
            return QAccessibleWidget::text(kind);
        const auto* label = static_cast<const QLabel*>(widget());
        if (!label->accessibleName().isEmpty())
            return label->accessibleName();
        return Qt::mightBeRichText(label->text()) ? QTextDocumentFragment::fromHtml(label->text()).toPlainText()
                                                  : label->text();
    }
};

class StatusBarAccessible : public QAccessibleWidget {
public:
    explicit StatusBarAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::StatusBar) { }
    QString text(QAccessible::Text kind) const override
    {
        const auto* label = qobject_cast<const QLabel*>(widget());
        if (kind != QAccessible::Name || !label || !widget()->accessibleName().isEmpty())
            return QAccessibleWidget::text(kind);
        return label->text();
    }
};

QAccessible::Role roleOf(Kind kind)
{
    switch (kind) {
    case Kind::none: break;
    case Kind::decorative: return QAccessible::Graphic;
    case Kind::window: return QAccessible::Window;
    case Kind::choice: return QAccessible::RadioButton;
    case Kind::popupButton: return QAccessible::ButtonMenu;
    case Kind::heading: return QAccessible::Heading;
    case Kind::statusBar: return QAccessible::StatusBar;
    }
    return QAccessible::NoRole;
}

QAccessibleInterface* assistiveAccessible(const QString&, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    switch (kindOf(object)) {
    case Kind::none: return nullptr;
    case Kind::decorative: return new DecorativeAccessible(widget);
    case Kind::window: return new WindowAccessible(widget);
    case Kind::choice: return new ChoiceAccessible(static_cast<QAbstractButton*>(widget));
    case Kind::popupButton: return new PopupButtonAccessible(static_cast<QAbstractButton*>(widget));
    case Kind::heading: return new HeadingAccessible(static_cast<QLabel*>(widget));
    case Kind::statusBar: return new StatusBarAccessible(widget);
    }
    return nullptr;
}

void mark(QWidget* widget, Kind kind)
{
    static const bool installed = (QAccessible::installFactory(assistiveAccessible), true);
    Q_UNUSED(installed);
    widget->setProperty(kindProperty, static_cast<int>(kind));
    // Qt keeps the first interface it makes for a widget, and a button's title or check state
    // set before the mark already made one: that one goes, so that the next question gets ours.
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(widget);
    if (made && made->role() != roleOf(kind))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

} // namespace

void AssistiveRoles::markDecorative(QWidget* widget)
{
    mark(widget, Kind::decorative);
}

void AssistiveRoles::markWindow(QWidget* window)
{
    mark(window, Kind::window);
}

void AssistiveRoles::markChoice(QAbstractButton* button)
{
    mark(button, Kind::choice);
}

void AssistiveRoles::markPopupButton(QAbstractButton* button)
{
    mark(button, Kind::popupButton);
}

void AssistiveRoles::setPopupOpen(QAbstractButton* button, bool open, QWidget* popup)
{
    if (popup)
        popup->setProperty(openerProperty, QVariant::fromValue(QPointer<QWidget>(button)));
    button->setProperty(popupProperty, QVariant::fromValue(QPointer<QWidget>(open ? popup : nullptr)));
    if (button->property(popupOpenProperty).toBool() == open)
        return;
    button->setProperty(popupOpenProperty, open);
    if (QAccessible::isActive()) {
        QAccessible::State expansion;
        expansion.expanded = true;
        QAccessibleStateChangeEvent event(button, expansion);
        QAccessible::updateAccessibility(&event);
    }
}

QString AssistiveRoles::unheardName(const QAbstractButton* button)
{
    return button->hasFocus() ? buttonName(button) : QString();
}

void AssistiveRoles::markHeading(QLabel* label)
{
    mark(label, Kind::heading);
}

void AssistiveRoles::markStatusBar(QWidget* widget)
{
    mark(widget, Kind::statusBar);
}

} // namespace tavlin
