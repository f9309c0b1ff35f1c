#include "Announcer.h"

#include "AssistiveRoles.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace tavlin {

namespace {

const char* const announcerProperty = "tavlinAnnouncer";

// A notification without a name of its own: a reader says the label it holds, once, and shows it
// in braille.
QAccessibleInterface* announcerAccessible(const QString&, QObject* object)
{
    if (object && object->isWidgetType() && object->property(announcerProperty).toBool())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
    return nullptr;
}

} // namespace

Announcer::Announcer(QWidget* statusBar) : QWidget(statusBar)
{
    static const bool installed = (QAccessible::installFactory(announcerAccessible), true);
    Q_UNUSED(installed);
    setObjectName(QStringLiteral("announcer"));
    AssistiveRoles::markStatusBar(statusBar);
    setProperty(announcerProperty, true);
    // Qt made this widget's interface as it was created, before it was an announcer.
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(this);
        made && made->role() != QAccessible::Notification)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    text_ = new QLabel(this);
    text_->setTextFormat(Qt::PlainText);
    text_->hide();
    hide();
}

void Announcer::say(const QString& text)
{
    text_->setText(text);
    if (!QAccessible::isActive() || !window()->isActiveWindow())
        return;
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

} // namespace tavlin
