#include "SettingsPicker.h"

#include "AccessibleValueWidget.h"
#include "KeyboardFocus.h"
#include "RoundedShape.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QPainterPath>

namespace tavlin {

namespace {

constexpr int ringOutset = 3;

// Qt names a combo box by its current text; assistive technology hears the row's title as the
// name and the choice as the value.
class PickerAccessible : public AccessibleValueWidget {
public:
    explicit PickerAccessible(SettingsPicker* picker) : AccessibleValueWidget(picker, QAccessible::ComboBox) { }

    SettingsPicker* picker() const { return static_cast<SettingsPicker*>(widget()); }
    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name)
            return picker()->accessibleName();
        if (kind == QAccessible::Value)
            return picker()->currentText();
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == showMenuAction() || action == pressAction())
            picker()->showPopup();
    }
};

QAccessibleInterface* pickerAccessible(const QString&, QObject* object)
{
    auto* picker = qobject_cast<SettingsPicker*>(object);
    return picker ? new PickerAccessible(picker) : nullptr;
}

} // namespace

SettingsPicker::SettingsPicker(const QString& accessibleName, const QString& identifier, QWidget* parent)
    : QComboBox(parent)
{
    static const bool factoryInstalled = (QAccessible::installFactory(pickerAccessible), true);
    Q_UNUSED(factoryInstalled);
    setAccessibleName(accessibleName);
    setObjectName(identifier);
    // The list it opens is heard under the row's title too, not as a list without a name.
    view()->setAccessibleName(accessibleName);
    setFont(SystemFont::regular(13));
    setFocusPolicy(Qt::StrongFocus);
    KeyboardFocus::track(this);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QComboBox::currentIndexChanged, this, &SettingsPicker::markChosen);
    connect(this, &QComboBox::activated, this, [this](int index) {
        const QVariant chosen = itemData(index);
        Q_EMIT picked(chosen);
    });
}

void SettingsPicker::addOption(const QString& title, const QVariant& value)
{
    const QSignalBlocker blocker(this);
    addItem(title, value);
    markChosen();
}

void SettingsPicker::select(const QVariant& value)
{
    const QSignalBlocker blocker(this);
    setCurrentIndex(findData(value));
    markChosen();
}

void SettingsPicker::markChosen()
{
    // Checked, the option shown stands out in the open list (the style checks it) and is heard
    // as the checked one.
    for (int i = 0; i < count(); ++i)
        setItemData(i, i == currentIndex() ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

QSize SettingsPicker::sizeHint() const
{
    return {fixedWidth + 2 * ringOutset, fontMetrics().height() + 12 + 2 * ringOutset};
}

QSize SettingsPicker::minimumSizeHint() const
{
    return sizeHint();
}

void SettingsPicker::enterEvent(QEnterEvent* event)
{
    hovering_ = true;
    update();
    QComboBox::enterEvent(event);
}

void SettingsPicker::leaveEvent(QEvent* event)
{
    hovering_ = false;
    update();
    QComboBox::leaveEvent(event);
}

void SettingsPicker::paintEvent(QPaintEvent*)
{
    const Appearance appearance = ThemeAppearance::of(this);
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setOpacity(isEnabled() ? 1.0 : 0.45);
    const QRectF field = QRectF(rect()).adjusted(ringOutset, ringOutset, -ringOutset, -ringOutset);
    RoundedShape::fill(
        painter, field, 10,
        (hovering_ && isEnabled() ? TavlinTheme::hoverSurface : TavlinTheme::controlFill).resolve(appearance));
    if (appearance.highContrast)
        RoundedShape::strokeInside(painter, field, 10, TavlinTheme::controlBorder.resolve(appearance), 1);
    if (KeyboardFocus::showsRing(this))
        RoundedShape::strokeInside(painter, QRectF(rect()), 13, TavlinTheme::brandAccent.resolve(appearance), 2);

    const QColor ink = TavlinTheme::primaryText.resolve(appearance);
    // The up-and-down chevrons of a menu picker, at the trailing end.
    const QPointF chevron(field.right() - 14, field.center().y());
    QPainterPath arrows;
    arrows.moveTo(chevron + QPointF(-3, -2));
    arrows.lineTo(chevron + QPointF(0, -5));
    arrows.lineTo(chevron + QPointF(3, -2));
    arrows.moveTo(chevron + QPointF(-3, 2));
    arrows.lineTo(chevron + QPointF(0, 5));
    arrows.lineTo(chevron + QPointF(3, 2));
    QColor arrowColor = ink;
    arrowColor.setAlphaF(arrowColor.alphaF() * 0.6f);
    painter.setPen(QPen(arrowColor, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(arrows);

    painter.setPen(ink);
    painter.setFont(font());
    const QRectF textRect = field.adjusted(10, 0, -28, 0);
    painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                     fontMetrics().elidedText(currentText(), Qt::ElideRight, qFloor(textRect.width())));
}

} // namespace tavlin
