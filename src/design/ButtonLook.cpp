#include "ButtonLook.h"

#include "KeyboardFocus.h"
#include "SystemFont.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPushButton>
#include <QToolButton>

namespace tavlin {

namespace {

const char* const lookProperty = "tavlinButtonLook";

QFont fontOf(const ButtonLook& look)
{
    using Kind = ButtonLook::Kind;
    switch (look.kind) {
    case Kind::action: return look.capsule.font();
    case Kind::chip: return SystemFont::regular(14, QFont::Medium);
    case Kind::copy:
    case Kind::pill:
    case Kind::segment: return SystemFont::regular(12, QFont::Medium);
    case Kind::symbol:
    case Kind::sidebarRow:
    case Kind::sidebarAction:
    case Kind::sectionTab:
    case Kind::link: return SystemFont::regular(13, QFont::Medium);
    }
    return SystemFont::regular(13);
}

} // namespace

ButtonLook ButtonLook::styled(TavlinButtonStyle capsule)
{
    ButtonLook look;
    look.capsule = capsule;
    return look;
}

ButtonLook ButtonLook::withKind(Kind kind)
{
    ButtonLook look;
    look.kind = kind;
    return look;
}

std::optional<ButtonLook> ButtonLook::of(const QWidget* widget)
{
    const QVariant value = widget ? widget->property(lookProperty) : QVariant();
    if (!value.canConvert<ButtonLook>())
        return std::nullopt;
    return value.value<ButtonLook>();
}

void ButtonLook::apply(QAbstractButton* button, const ButtonLook& look)
{
    button->setProperty(lookProperty, QVariant::fromValue(look));
    button->setFont(fontOf(look));
    button->setAttribute(Qt::WA_Hover);
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::TabFocus);
    KeyboardFocus::track(button);
    if (auto* push = qobject_cast<QPushButton*>(button))
        push->setAutoDefault(false);
    button->updateGeometry();
}

void ButtonLook::change(QAbstractButton* button, const std::function<void(ButtonLook&)>& edit)
{
    std::optional<ButtonLook> look = of(button);
    if (!look)
        return;
    edit(*look);
    button->setProperty(lookProperty, QVariant::fromValue(*look));
    // A style change makes the button measure itself again.
    QEvent styleChange(QEvent::StyleChange);
    QCoreApplication::sendEvent(button, &styleChange);
    button->updateGeometry();
    button->update();
}

void ButtonLook::setDetail(QAbstractButton* button, const QString& detail)
{
    change(button, [&](ButtonLook& look) { look.detail = detail; });
    button->setAccessibleDescription(detail);
}

QPushButton* ButtonLook::action(TavlinButtonStyle capsule, const QString& text, QWidget* parent)
{
    return push(styled(capsule), text, parent);
}

QPushButton* ButtonLook::push(const ButtonLook& look, const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    apply(button, look);
    if (look.kind == Kind::action)
        button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return button;
}

QToolButton* ButtonLook::symbolButton(const QString& symbol, int side, int symbolSize, const QString& label,
                                      QWidget* parent)
{
    auto* button = new QToolButton(parent);
    ButtonLook look = withKind(Kind::symbol);
    look.symbol = symbol;
    look.symbolSize = symbolSize;
    apply(button, look);
    button->setFixedSize(side, side);
    setLabel(button, label);
    return button;
}

bool ButtonLook::setLabel(QAbstractButton* button, const QString& label)
{
    if (button->accessibleName() == label && button->accessibleDescription() == label)
        return false;
    button->setToolTip(label);
    button->setAccessibleName(label);
    // Else the description is the tool tip, whose change no reader hears of: readers that keep what
    // they were told would go on saying the old label after the new name.
    button->setAccessibleDescription(label);
    return true;
}

} // namespace tavlin
