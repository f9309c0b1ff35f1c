#include "TavlinStyle.h"

#include "ButtonLook.h"
#include "KeyboardFocus.h"
#include "RoundedShape.h"
#include "SymbolIcon.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTextDocument>
#include <QToolButton>
#include <QVariantAnimation>

#include <algorithm>

namespace tavlin {

namespace {

using Kind = ButtonLook::Kind;

const char* const pressName = "tavlin-press";
const char* const selectionName = "tavlin-selection";

// The check that marks the chosen entry of a picker's list, and its room from the entry's start.
constexpr int menuCheckSize = 12;
constexpr int menuCheckInset = 12;

// A push button in a dialog's button box says what it does by its role.
bool deletes(const QWidget* widget)
{
    const auto* box = widget ? qobject_cast<const QDialogButtonBox*>(widget->parentWidget()) : nullptr;
    if (!box)
        return false;
    const QList<QAbstractButton*> buttons = box->buttons();
    const auto found = std::find(buttons.cbegin(), buttons.cend(), widget);
    return found != buttons.cend() && box->buttonRole(*found) == QDialogButtonBox::DestructiveRole;
}

// The look of a push button that brings none: a dialog's or a banner's. The dialog's default
// button, the one Return presses, is the accent one; a button that deletes reads in red and is
// never the accent one. Focus changes neither: a focused dialog button shows the focus ring and
// leaves the default where the dialog put it (see polish).
ButtonLook stockLook(const QPushButton* button)
{
    const bool destructive = deletes(button);
    const bool primary = button->isDefault() && !destructive;
    ButtonLook look = ButtonLook::styled(
        {primary ? TavlinButtonStyle::Kind::primary : TavlinButtonStyle::Kind::secondary, 28});
    if (destructive)
        look.ink = TavlinTheme::systemRed;
    return look;
}

std::optional<ButtonLook> lookOf(const QWidget* widget)
{
    if (std::optional<ButtonLook> look = ButtonLook::of(widget))
        return look;
    const auto* push = qobject_cast<const QPushButton*>(widget);
    if (push && !push->isFlat())
        return stockLook(push);
    return std::nullopt;
}

// Eases an action button's press in and out: 0 at rest, 1 fully pressed.
void trackPress(QAbstractButton* button)
{
    if (button->findChild<QVariantAnimation*>(QLatin1String(pressName), Qt::FindDirectChildrenOnly))
        return;
    auto* press = new QVariantAnimation(button);
    press->setObjectName(QLatin1String(pressName));
    press->setDuration(120);
    press->setEasingCurve(QEasingCurve::OutCubic);
    press->setStartValue(0.0);
    press->setEndValue(1.0);
    QObject::connect(press, &QVariantAnimation::valueChanged, button, qOverload<>(&QWidget::update));
    const auto animate = [button, press](bool pressed) {
        press->stop();
        if (ThemeAppearance::reduceMotion(button)) {
            press->setCurrentTime(pressed ? press->duration() : 0);
            button->update();
            return;
        }
        press->setDirection(pressed ? QAbstractAnimation::Forward : QAbstractAnimation::Backward);
        press->start();
    };
    QObject::connect(button, &QAbstractButton::pressed, press, [animate] { animate(true); });
    QObject::connect(button, &QAbstractButton::released, press, [animate] { animate(false); });
}

// Fades a segment's selection in and out over 0.15 s: 0 unselected, 1 selected.
void trackSelection(QAbstractButton* button)
{
    if (button->findChild<QVariantAnimation*>(QLatin1String(selectionName), Qt::FindDirectChildrenOnly))
        return;
    auto* selection = new QVariantAnimation(button);
    selection->setObjectName(QLatin1String(selectionName));
    selection->setDuration(150);
    selection->setEasingCurve(QEasingCurve::OutCubic);
    selection->setStartValue(0.0);
    selection->setEndValue(1.0);
    selection->setCurrentTime(button->isChecked() ? selection->duration() : 0);
    QObject::connect(selection, &QVariantAnimation::valueChanged, button, qOverload<>(&QWidget::update));
    QObject::connect(button, &QAbstractButton::toggled, selection, [button, selection](bool checked) {
        const int at = selection->currentTime();
        selection->stop();
        if (ThemeAppearance::reduceMotion(button) || !button->isVisible()) {
            selection->setCurrentTime(checked ? selection->duration() : 0);
            button->update();
            return;
        }
        // On from wherever it is: a change undone at once (a click the owner turns down) ends
        // where it began.
        selection->setDirection(checked ? QAbstractAnimation::Forward : QAbstractAnimation::Backward);
        selection->start();
        selection->setCurrentTime(at);
    });
}

qreal selectionOf(const QWidget* widget, const QStyleOption* option)
{
    const auto* selection = widget
        ? widget->findChild<QVariantAnimation*>(QLatin1String(selectionName), Qt::FindDirectChildrenOnly)
        : nullptr;
    if (selection)
        return selection->currentValue().toReal();
    return option->state & QStyle::State_On ? 1.0 : 0.0;
}

qreal pressOf(const QWidget* widget, const QStyleOption* option)
{
    const auto* press = widget
        ? widget->findChild<QVariantAnimation*>(QLatin1String(pressName), Qt::FindDirectChildrenOnly)
        : nullptr;
    if (press)
        return press->currentValue().toReal();
    return option->state & QStyle::State_Sunken ? 1.0 : 0.0;
}

bool showsRing(const QWidget* widget, const QStyleOption* option, const ButtonLook& look)
{
    if (look.focusRing)
        return true;
    if (widget)
        return KeyboardFocus::showsRing(widget);
    return option->state & QStyle::State_HasFocus;
}

QString textOf(const QStyleOption* option, const QWidget* widget)
{
    if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option))
        return button->text;
    if (const auto* tool = qstyleoption_cast<const QStyleOptionToolButton*>(option))
        return tool->text;
    const auto* button = qobject_cast<const QAbstractButton*>(widget);
    return button ? button->text() : QString();
}

// What a button's content is: a symbol, a title and a detail, laid out in a row from `left`, or
// centred when `left` is negative.
struct Content {
    QString symbol;
    qreal symbolSize = 16;
    qreal symbolFrame = 16;
    qreal gap = 6;
    QString text;
    QFont font;
    QColor ink;
    qreal left = -1;
    qreal right = 0;
    QString detail;
    QColor detailInk;
};

void paintContent(QPainter& painter, const QRectF& area, const Content& content)
{
    const QFontMetricsF metrics(content.font);
    const qreal symbolWidth = content.symbol.isEmpty()
        ? 0
        : content.symbolFrame + (content.text.isEmpty() ? 0 : content.gap);
    const qreal textWidth = content.text.isEmpty() ? 0 : metrics.horizontalAdvance(content.text) + 1;
    qreal x = content.left < 0 ? area.left() + (area.width() - symbolWidth - textWidth) / 2
                               : area.left() + content.left;
    if (!content.symbol.isEmpty()) {
        const qreal inset = (content.symbolFrame - content.symbolSize) / 2;
        SymbolIcon::paint(
            painter, content.symbol,
            QRectF(x + inset, area.center().y() - content.symbolSize / 2, content.symbolSize, content.symbolSize),
            content.ink);
        x += symbolWidth;
    }
    const qreal end = area.right() - content.right;
    if (!content.detail.isEmpty()) {
        painter.setFont(SystemFont::regular(11));
        painter.setPen(content.detailInk);
        painter.drawText(QRectF(area.left(), area.top(), end - area.left(), area.height()),
                         Qt::AlignRight | Qt::AlignVCenter, content.detail);
    }
    if (content.text.isEmpty())
        return;
    painter.setFont(content.font);
    painter.setPen(content.ink);
    const QRectF textRect(x, area.top(), qMax<qreal>(0, end - x + (content.left < 0 ? 1 : 0)), area.height());
    // One line; cut only where the layout gives less room than the title needs.
    const QString text = textRect.width() + 1 >= textWidth
        ? content.text
        : metrics.elidedText(content.text, Qt::ElideRight, textRect.width());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

// A menu's separator, after its title if it has one: the line in a colour of its own, where the
// usual shade of the window colour all but vanishes on a dark menu.
void drawMenuSeparator(const QStyleOptionMenuItem& item, QPainter* painter, const Appearance& appearance)
{
    constexpr int margin = 8;
    const bool reverse = item.direction == Qt::RightToLeft;
    QRect line = item.rect.adjusted(margin, 0, -margin, 0);
    painter->save();
    if (!item.text.isEmpty()) {
        painter->setFont(item.font);
        painter->setPen(TavlinTheme::secondaryText.resolve(appearance));
        painter->drawText(line, (reverse ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter | Qt::TextSingleLine,
                          item.text);
        const int titleWidth = item.fontMetrics.horizontalAdvance(item.text) + margin;
        if (reverse)
            line.setRight(line.right() - titleWidth);
        else
            line.setLeft(line.left() + titleWidth);
    }
    painter->fillRect(QRect(line.left(), item.rect.center().y(), line.width(), 1),
                      TavlinTheme::menuSeparator.resolve(appearance));
    painter->restore();
}

void ring(QPainter& painter, const QRectF& rect, qreal radius, const Appearance& appearance)
{
    RoundedShape::strokeInside(painter, rect, radius, TavlinTheme::brandAccent.resolve(appearance), 2);
}

// The focus ring of a control whose edge already says something in the accent (a chosen chip or
// sidebar row, every chip under increased contrast): inside the shape, clear of that edge, so that
// focus and choice read apart.
void innerRing(QPainter& painter, const QRectF& shape, qreal radius, const Appearance& appearance)
{
    constexpr qreal inset = 4;
    ring(painter, shape.adjusted(inset, inset, -inset, -inset), qMax<qreal>(0, radius - inset), appearance);
}

} // namespace

TavlinStyle::TavlinStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
}

void TavlinStyle::install()
{
    if (!qobject_cast<TavlinStyle*>(QApplication::style()))
        QApplication::setStyle(new TavlinStyle);
}

void TavlinStyle::polish(QWidget* widget)
{
    QProxyStyle::polish(widget);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        const std::optional<ButtonLook> look = ButtonLook::of(button);
        auto* push = qobject_cast<QPushButton*>(button);
        if ((look && look->kind == Kind::action) || (!look && push))
            trackPress(button);
        if (look && look->kind == Kind::segment)
            trackSelection(button);
        if (!look && push) {
            KeyboardFocus::track(push);
            // Return presses the dialog's default button wherever the focus is, so that a button
            // that deletes never becomes what Return presses by being tabbed to; Space presses
            // the focused one.
            if (qobject_cast<QDialogButtonBox*>(push->parentWidget()))
                push->setAutoDefault(false);
        }
    }
    // Pop-ups, tool tips and dialogs are windows of their own: each takes the palette of the
    // window it belongs to whenever it shows.
    if (widget->isWindow())
        widget->installEventFilter(this);

    if (auto* label = qobject_cast<QLabel*>(widget); label && widget->windowType() == Qt::ToolTip)
        label->setMaximumWidth(toolTipWidth);
    // A message's texts keep the interface's sizes whatever the desktop's font, and its
    // explanation gets a readable measure rather than a narrow column.
    if (widget->objectName() == QLatin1String("qt_msgbox_informativelabel")) {
        widget->setMinimumWidth(messageWidth);
        widget->setFont(SystemFont::regular(12));
    }
    if (widget->objectName() == QLatin1String("qt_msgbox_label"))
        widget->setFont(SystemFont::regular(14, QFont::DemiBold));
}

void TavlinStyle::unpolish(QWidget* widget)
{
    widget->removeEventFilter(this);
    QProxyStyle::unpolish(widget);
}

QString TavlinStyle::boundedToolTip(const QString& text)
{
    if (Qt::mightBeRichText(text))
        return text;
    QStringList lines = text.split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.first().trimmed().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    if (lines.size() > toolTipLines) {
        lines.resize(toolTipLines);
        lines.last().append(QChar(0x2026));
    }
    return lines.join(QLatin1Char('\n'));
}

bool TavlinStyle::eventFilter(QObject* watched, QEvent* event)
{
    // A tool tip shows a text without its blank lead and never grows past a readable size: long
    // lines wrap, and a long text stops after a few lines. Qt sets the tip's text and wrapping
    // anew each time it shows one, so this follows each showing and resizing.
    if (auto* tip = qobject_cast<QLabel*>(watched);
        tip && tip->windowType() == Qt::ToolTip && (event->type() == QEvent::Show || event->type() == QEvent::Resize)) {
        const QString bounded = boundedToolTip(tip->text());
        if (bounded != tip->text()) {
            tip->setText(bounded);
            tip->adjustSize();
        }
        if (!tip->wordWrap() && tip->sizeHint().width() > toolTipWidth) {
            tip->setWordWrap(true);
            tip->resize(toolTipWidth, tip->heightForWidth(toolTipWidth));
        }
    }
    if (event->type() == QEvent::Show || event->type() == QEvent::Polish) {
        // A window of its own with no theme of its own: a pop-up, tool tip or dialog of a themed
        // window looks like that window; one that belongs to no window (the tray's menu, an
        // application message) looks like the windows last themed.
        auto* window = static_cast<QWidget*>(watched);
        std::optional<Appearance> appearance;
        if (!ThemeAppearance::isMarked(window)) {
            if (const QWidget* owner = window->parentWidget())
                appearance = ThemeAppearance::of(owner);
            else
                appearance = ThemeAppearance::lastApplied();
        }
        if (appearance) {
            QPalette palette = ThemeAppearance::palette(*appearance);
            // A dialog stands on a raised surface, apart from the window behind it.
            if (qobject_cast<QDialog*>(window))
                palette.setColor(QPalette::Window, TavlinTheme::elevatedSurface.resolve(*appearance));
            if (window->palette() != palette)
                window->setPalette(palette);
            // A combo box's list fills each item with the menu colours it was given explicitly:
            // its own, on the pop-up's panel colour.
            if (qobject_cast<QComboBox*>(window->parentWidget())) {
                palette.setColor(QPalette::Window, TavlinTheme::contentSurface.resolve(*appearance));
                for (QAbstractItemView* list : window->findChildren<QAbstractItemView*>())
                    list->setPalette(palette);
            }
        }
    }
    return QProxyStyle::eventFilter(watched, event);
}

QIcon TavlinStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const
{
    // A message's icon is one of the interface's symbols, not the platform's clip art.
    const Appearance appearance = ThemeAppearance::of(widget);
    switch (icon) {
    case SP_MessageBoxWarning:
        return SymbolIcon::icon(QStringLiteral("exclamationmark.triangle.fill"), QColor(0xFF, 0x95, 0x00));
    case SP_MessageBoxCritical:
        return SymbolIcon::icon(QStringLiteral("exclamationmark.triangle.fill"),
                                TavlinTheme::systemRed.resolve(appearance));
    case SP_MessageBoxInformation:
    case SP_MessageBoxQuestion:
        return SymbolIcon::icon(QStringLiteral("info.circle"), TavlinTheme::brandAccent.resolve(appearance));
    default: return QProxyStyle::standardIcon(icon, option, widget);
    }
}

void TavlinStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const
{
    if (element == CE_PushButton) {
        if (const std::optional<ButtonLook> look = lookOf(widget)) {
            drawButton(*look, option, painter, widget);
            return;
        }
    }
    if (element == CE_CheckBox || element == CE_RadioButton) {
        // The indicator and the label where this style puts them (the base style would ask itself),
        // with the room for the ring before the indicator.
        if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option)) {
            const bool radio = element == CE_RadioButton;
            QStyleOptionButton part(*button);
            part.rect = subElementRect(radio ? SE_RadioButtonIndicator : SE_CheckBoxIndicator, button, widget);
            drawPrimitive(radio ? PE_IndicatorRadioButton : PE_IndicatorCheckBox, &part, painter, widget);
            part.rect = subElementRect(radio ? SE_RadioButtonContents : SE_CheckBoxContents, button, widget);
            drawControl(radio ? CE_RadioButtonLabel : CE_CheckBoxLabel, &part, painter, widget);
            return;
        }
    }
    if (element == CE_MenuItem) {
        if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
            // A combo box's list paints its items with the application's menu colours: every
            // item takes its window's instead.
            const Appearance appearance = ThemeAppearance::of(widget);
            if (item->menuItemType == QStyleOptionMenuItem::Separator) {
                drawMenuSeparator(*item, painter, appearance);
                return;
            }
            QStyleOptionMenuItem themed(*item);
            themed.palette = ThemeAppearance::palette(appearance);
            // The menu draws an entry it cannot act on from its palette's disabled colours.
            themed.palette.setCurrentColorGroup(item->palette.currentColorGroup());
            // The current entry, the keyboard's as the pointer's, on an accent band that stands out
            // from the menu, its text in the ink that reads on the accent.
            const bool current = (item->state & State_Selected) && (item->state & State_Enabled);
            const QColor ink = (current ? TavlinTheme::actionText : TavlinTheme::primaryText).resolve(appearance);
            if (current) {
                painter->save();
                painter->setRenderHint(QPainter::Antialiasing);
                painter->fillRect(item->rect, TavlinTheme::contentSurface.resolve(appearance));
                RoundedShape::fill(*painter, QRectF(item->rect).adjusted(4, 0, -4, 0), 6,
                                   TavlinTheme::brandAccent.resolve(appearance));
                painter->restore();
                themed.state &= ~State_Selected;
                for (QPalette::ColorRole role :
                     {QPalette::Text, QPalette::WindowText, QPalette::ButtonText, QPalette::HighlightedText})
                    themed.palette.setColor(role, ink);
            }
            // A picker's list marks the value chosen with a check in the column before the entries
            // (kept for it when its options say which is checked), not with a box before each entry
            // as though several could be chosen.
            const bool picker = qobject_cast<const QComboBox*>(widget);
            if (picker) {
                themed.checkType = QStyleOptionMenuItem::NotCheckable;
                themed.checked = false;
            }
            QProxyStyle::drawControl(element, &themed, painter, widget);
            if (picker && item->checked) {
                const QRect rect = item->rect;
                const int x = item->direction == Qt::RightToLeft ? rect.right() - menuCheckInset - menuCheckSize
                                                                 : rect.left() + menuCheckInset;
                SymbolIcon::paint(*painter, QStringLiteral("checkmark"),
                                  QRectF(x, rect.center().y() - menuCheckSize / 2.0, menuCheckSize, menuCheckSize),
                                  ink);
            }
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void TavlinStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                     const QWidget* widget) const
{
    if (control == CC_ToolButton) {
        if (const std::optional<ButtonLook> look = ButtonLook::of(widget)) {
            drawButton(*look, option, painter, widget);
            return;
        }
    }
    if (control == CC_ScrollBar) {
        // A rounded handle over no track and without arrows, only while there is anything to scroll.
        const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
        if (!bar || bar->maximum <= bar->minimum)
            return;
        const QRectF slider = subControlRect(control, option, SC_ScrollBarSlider, widget);
        const bool vertical = bar->orientation == Qt::Vertical;
        const QRectF handle = vertical ? slider.adjusted(2.5, 1, -2.5, -1) : slider.adjusted(1, 2.5, -1, -2.5);
        QColor color = TavlinTheme::secondaryText.resolve(ThemeAppearance::of(widget));
        const bool active = (bar->state & State_Sunken) || (bar->activeSubControls & SC_ScrollBarSlider);
        color.setAlphaF(active ? 0.8f : 0.5f);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const qreal radius = qMin(handle.width(), handle.height()) / 2;
        RoundedShape::fill(*painter, handle, radius, color);
        painter->restore();
        return;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

void TavlinStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                const QWidget* widget) const
{
    const Appearance appearance = ThemeAppearance::of(widget);
    switch (element) {
    case PE_FrameFocusRect: {
        // A check box or radio button rings its indicator: the label gets no second ring.
        if (qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget))
            return;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        ring(*painter, QRectF(option->rect), 4, appearance);
        painter->restore();
        return;
    }
    case PE_IndicatorCheckBox:
    case PE_IndicatorRadioButton: {
        // A rounded box or a circle: outlined while clear, filled with the accent and marked
        // (a check, a dot) while on.
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        if (!(option->state & State_Enabled))
            painter->setOpacity(0.45);
        const QRectF box(option->rect);
        const bool radio = element == PE_IndicatorRadioButton;
        const qreal radius = radio ? box.width() / 2 : 4;
        const QColor mark = TavlinTheme::actionText.resolve(appearance);
        if (option->state & State_On) {
            RoundedShape::fill(*painter, box, radius, TavlinTheme::brandAccent.resolve(appearance));
            if (radio)
                RoundedShape::fill(*painter, QRectF(box.center() - QPointF(3, 3), QSizeF(6, 6)), 3, mark);
            else
                SymbolIcon::paint(*painter, QStringLiteral("checkmark"), box.adjusted(3, 3, -3, -3), mark);
        } else {
            RoundedShape::fill(*painter, box, radius, TavlinTheme::contentSurface.resolve(appearance));
            // The faint border of fields would leave a clear box unseen on a raised sheet: a clear
            // indicator is outlined in the secondary text colour.
            RoundedShape::strokeInside(
                *painter, box, radius,
                (appearance.highContrast ? TavlinTheme::primaryText : TavlinTheme::metadataColor).resolve(appearance),
                appearance.highContrast ? 1.5 : 1);
        }
        // As every ring, only for focus that came from the keyboard; clear of the indicator, whose
        // fill is the accent too, in the room kept for it around the indicator.
        if ((option->state & State_HasFocus) && (option->state & State_KeyboardFocusChange)) {
            constexpr qreal outset = indicatorRingOutset;
            ring(*painter, box.adjusted(-outset, -outset, outset, outset), radius + outset, appearance);
        }
        painter->restore();
        return;
    }
    case PE_PanelLineEdit:
    case PE_Frame: {
        // A field or a framed list: the surface inside a rounded outline, the accent while focused.
        const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
        if (!frame || frame->lineWidth <= 0) {
            if (element == PE_PanelLineEdit)
                painter->fillRect(option->rect, option->palette.base());
            return;
        }
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const QRectF box(option->rect);
        if (element == PE_PanelLineEdit)
            RoundedShape::fill(*painter, box, 8, TavlinTheme::contentSurface.resolve(appearance));
        const bool focused = element == PE_PanelLineEdit && (option->state & State_HasFocus);
        RoundedShape::strokeInside(
            *painter, box, 8, (focused ? TavlinTheme::brandAccent : TavlinTheme::controlBorder).resolve(appearance),
            focused ? 2 : 1);
        painter->restore();
        return;
    }
    case PE_PanelItemViewItem: {
        // The chosen item on the selection fill, the one under the pointer on the hover fill.
        const bool selected = option->state & State_Selected;
        if (!selected && !(option->state & State_MouseOver))
            return;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        RoundedShape::fill(*painter, QRectF(option->rect).adjusted(2, 1, -2, -1), 6,
                           (selected ? TavlinTheme::controlSelection : TavlinTheme::hoverSurface).resolve(appearance));
        painter->restore();
        return;
    }
    case PE_PanelMenu:
    case PE_FrameMenu: {
        painter->save();
        if (element == PE_PanelMenu)
            painter->fillRect(option->rect, TavlinTheme::contentSurface.resolve(appearance));
        // No compositor draws a shadow under a pop-up: its edge alone tells it from the card it opens over.
        painter->setPen(TavlinTheme::controlEdge.resolve(appearance));
        painter->drawRect(QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5));
        painter->restore();
        return;
    }
    case PE_PanelTipLabel: {
        painter->save();
        painter->fillRect(option->rect, option->palette.toolTipBase());
        painter->setPen(TavlinTheme::controlEdge.resolve(appearance));
        painter->drawRect(QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5));
        painter->restore();
        return;
    }
    default: QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

int TavlinStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    switch (metric) {
    case PM_ScrollBarExtent: return scrollBarThickness;
    case PM_ScrollBarSliderMin: return 24;
    case PM_ToolTipLabelFrameWidth: return 6;
    case PM_MenuPanelWidth: return 1;
    case PM_MenuVMargin: return 4;
    case PM_IndicatorWidth:
    case PM_IndicatorHeight: return 16;
    default: return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int TavlinStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                           QStyleHintReturn* returnData) const
{
    switch (hint) {
    // A click on the track pages towards it, as on most Linux desktops.
    case SH_ScrollBar_LeftClickAbsolutePosition: return false;
    case SH_ScrollBar_ContextMenu: return false;
    case SH_ToolTipLabel_Opacity: return 255;
    // A disabled text, in a menu as anywhere, in its faint colour alone, without a lighter copy
    // behind it that reads as though enabled on a dark menu.
    case SH_EtchDisabledText: return false;
    default: return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

QRect TavlinStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl subControl,
                                  const QWidget* widget) const
{
    const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_ScrollBar || !bar)
        return QProxyStyle::subControlRect(control, option, subControl, widget);
    // No arrow buttons: the whole bar is the track.
    const QRect track = bar->rect;
    const bool vertical = bar->orientation == Qt::Vertical;
    const int length = vertical ? track.height() : track.width();
    const qint64 range = qint64(bar->maximum) - bar->minimum;
    int handle = length;
    if (range > 0) {
        handle = int(qint64(length) * bar->pageStep / (range + bar->pageStep));
        handle = qBound(qMin(length, pixelMetric(PM_ScrollBarSliderMin, option, widget)), handle, length);
    }
    const int start = sliderPositionFromValue(bar->minimum, bar->maximum, bar->sliderPosition, length - handle,
                                              bar->upsideDown);
    const auto along = [&](int from, int size) {
        return vertical ? QRect(track.left(), track.top() + from, track.width(), size)
                        : QRect(track.left() + from, track.top(), size, track.height());
    };
    switch (subControl) {
    case SC_ScrollBarSlider: return along(start, handle);
    case SC_ScrollBarSubPage: return along(0, start);
    case SC_ScrollBarAddPage: return along(start + handle, length - start - handle);
    case SC_ScrollBarGroove: return track;
    default: return {};
    }
}

QRect TavlinStyle::subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const
{
    // Text keeps clear of a field's rounded outline.
    if (element == SE_LineEditContents) {
        const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
        if (frame && frame->lineWidth > 0)
            return option->rect.adjusted(8, 2, -8, -2);
    }
    // A check box or radio button keeps room for its ring before the indicator, within its bounds.
    switch (element) {
    case SE_CheckBoxIndicator:
    case SE_CheckBoxContents:
    case SE_RadioButtonIndicator:
    case SE_RadioButtonContents: {
        const QRect plain = QProxyStyle::subElementRect(element, option, widget);
        const bool reverse = option->direction == Qt::RightToLeft;
        if (element == SE_CheckBoxIndicator || element == SE_RadioButtonIndicator)
            return plain.translated(reverse ? -indicatorRingOutset : indicatorRingOutset, 0);
        return reverse ? plain.adjusted(0, 0, -indicatorRingOutset, 0) : plain.adjusted(indicatorRingOutset, 0, 0, 0);
    }
    default: break;
    }
    // A push button takes clicks on its capsule only, not on the room kept for its ring.
    if (element == SE_PushButtonBevel || element == SE_PushButtonContents) {
        if (const std::optional<ButtonLook> look = lookOf(widget)) {
            if (look->kind == Kind::action) {
                const int outset = ButtonLook::focusRingOutset;
                return option->rect.adjusted(outset, outset, -outset, -outset);
            }
            return option->rect;
        }
    }
    return QProxyStyle::subElementRect(element, option, widget);
}

QSize TavlinStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                    const QWidget* widget) const
{
    if (type == CT_PushButton) {
        if (const std::optional<ButtonLook> look = lookOf(widget))
            return buttonSize(*look, widget, option);
    }
    if (type == CT_ToolButton) {
        if (const std::optional<ButtonLook> look = ButtonLook::of(widget))
            return buttonSize(*look, widget, option);
    }
    if (type == CT_CheckBox || type == CT_RadioButton) {
        const QSize plain = QProxyStyle::sizeFromContents(type, option, size, widget);
        const int indicator = pixelMetric(PM_IndicatorHeight, option, widget);
        return {plain.width() + indicatorRingOutset, qMax(plain.height(), indicator + 2 * indicatorRingOutset)};
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

QSize TavlinStyle::buttonSize(const ButtonLook& look, const QWidget* widget, const QStyleOption* option) const
{
    QFontMetrics metrics = widget ? widget->fontMetrics() : option->fontMetrics;
    // An action capsule's title is in its kind's font, a stock button's too, whatever the desktop's.
    if (look.kind == Kind::action)
        metrics = QFontMetrics(look.capsule.font());
    const QString text = textOf(option, widget);
    const int advance = metrics.horizontalAdvance(text);
    switch (look.kind) {
    case Kind::action: {
        const int outset = 2 * ButtonLook::focusRingOutset;
        return {advance + 1 + 2 * look.capsule.horizontalPadding() + outset,
                qMax(look.capsule.minimumHeight(), metrics.height()) + outset};
    }
    case Kind::chip: return {2 * look.padding + (look.symbol.isEmpty() ? 0 : 16 + 6) + advance, 32};
    case Kind::pill: return {2 * look.padding + (look.symbol.isEmpty() ? 0 : 12 + 5) + advance + 1, 32};
    case Kind::copy: return {112, 32};
    case Kind::symbol: return {look.symbolSize + 8, look.symbolSize + 8};
    case Kind::sidebarRow:
    case Kind::sidebarAction: return {156, 11 + 20 + 11};
    case Kind::sectionTab: return {216, 36};
    case Kind::link: return {advance + 16 + 6 + 12, 30};
    case Kind::segment:
        return {qMax(62, QFontMetrics(SystemFont::regular(12, QFont::DemiBold)).horizontalAdvance(text) + 24), 26};
    }
    return {advance, metrics.height()};
}

void TavlinStyle::drawButton(const ButtonLook& look, const QStyleOption* option, QPainter* painter,
                             const QWidget* widget) const
{
    const Appearance appearance = ThemeAppearance::of(widget);
    const auto color = [&](const ThemeColor& themeColor) { return themeColor.resolve(appearance); };
    const bool hovered = option->state & State_MouseOver;
    const bool down = option->state & State_Sunken;
    const bool checked = option->state & State_On;
    const bool enabled = option->state & State_Enabled;
    const QRectF bounds(option->rect);

    Content content;
    content.text = textOf(option, widget);
    content.font = look.kind == Kind::action ? look.capsule.font() : widget ? widget->font() : painter->font();
    content.ink = color(look.ink.value_or(TavlinTheme::primaryText));
    content.symbol = checked && !look.checkedSymbol.isEmpty() ? look.checkedSymbol : look.symbol;
    content.symbolSize = content.symbolFrame = look.symbolSize;

    painter->save();
    painter->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    QRectF area = bounds;
    switch (look.kind) {
    case Kind::action: {
        // Disabled buttons keep their look, dimmed as a whole (ring and outline too).
        painter->setOpacity(enabled ? 1.0 : 0.45);
        const qreal press = pressOf(widget, option);
        const QPointF centre = bounds.center();
        painter->translate(centre);
        painter->scale(1.0 - 0.03 * press, 1.0 - 0.03 * press);
        painter->translate(-centre);
        const qreal outset = ButtonLook::focusRingOutset;
        area = bounds.adjusted(outset, outset, -outset, -outset);
        const TavlinButtonStyle& capsule = look.capsule;
        QColor fill = capsule.background(appearance, hovered, false);
        if (capsule.kind == TavlinButtonStyle::Kind::primary)
            fill.setAlphaF(fill.alphaF() * float(1.0 - 0.15 * press));
        else if (press > 0)
            fill = capsule.background(appearance, true, true);
        RoundedShape::fill(*painter, area, RoundedShape::capsuleRadius(area), fill);
        if (appearance.highContrast && capsule.kind != TavlinButtonStyle::Kind::quiet)
            RoundedShape::strokeInside(*painter, area, RoundedShape::capsuleRadius(area),
                                       color(TavlinTheme::contrastEdge), 1);
        if (showsRing(widget, option, look))
            ring(*painter, bounds, RoundedShape::capsuleRadius(bounds), appearance);
        content.ink = look.ink ? color(*look.ink) : capsule.labelColor(appearance);
        area.adjust(capsule.horizontalPadding(), 0, -capsule.horizontalPadding(), 0);
        break;
    }
    case Kind::chip: {
        const qreal radius = RoundedShape::capsuleRadius(bounds);
        RoundedShape::fill(*painter, bounds, radius,
                           color(checked ? TavlinTheme::controlSelection : TavlinTheme::controlSurface));
        // Whole pixels, so that the edge is crisp: two under increased contrast.
        const qreal border = appearance.highContrast ? 2 : checked ? 0 : 1;
        if (border > 0)
            RoundedShape::strokeInside(
                *painter, bounds, radius,
                color(appearance.highContrast ? TavlinTheme::brandAccent : TavlinTheme::controlBorder), border);
        if (option->state & State_HasFocus)
            innerRing(*painter, bounds, radius, appearance);
        content.left = look.padding;
        content.right = look.padding - 1;
        break;
    }
    case Kind::symbol: {
        if (checked)
            RoundedShape::fill(*painter, bounds, 6, color(TavlinTheme::selectedBackground));
        else if (hovered)
            RoundedShape::fill(*painter, bounds, 6, color(TavlinTheme::hoverSurface));
        // The hover fill is too faint to tell where the focus is: focus shows the ring.
        if (showsRing(widget, option, look))
            ring(*painter, bounds, 6, appearance);
        if (checked)
            content.ink = color(TavlinTheme::brandAccent);
        else if (down)
            content.ink = color(TavlinTheme::primaryText);
        if (!enabled)
            content.ink.setAlphaF(content.ink.alphaF() * 0.4f);
        content.text.clear();
        break;
    }
    case Kind::sidebarRow:
    case Kind::sidebarAction: {
        if (look.kind == Kind::sidebarAction) {
            RoundedShape::fill(*painter, bounds, 12,
                               color(hovered ? TavlinTheme::hoverSurface : TavlinTheme::controlFill));
        } else if (checked) {
            RoundedShape::fill(*painter, bounds, 12, color(TavlinTheme::selectedBackground));
            RoundedShape::strokeInside(
                *painter, bounds, 12,
                color(appearance.highContrast ? TavlinTheme::brandAccent : TavlinTheme::selectedOutline), 1);
        }
        if (option->state & State_HasFocus)
            innerRing(*painter, bounds, 12, appearance);
        content.symbolSize = content.symbolFrame = look.kind == Kind::sidebarAction ? 14 : 16;
        content.gap = 10;
        content.left = 12;
        content.right = 12;
        content.detail = look.detail;
        content.detailInk = color(TavlinTheme::secondaryText);
        break;
    }
    case Kind::sectionTab: {
        const QRectF row = bounds.adjusted(3, 0, -3, 0);
        if (checked)
            RoundedShape::fill(*painter, row, 10, color(TavlinTheme::selectedBackground));
        else if (hovered)
            RoundedShape::fill(*painter, row, 10, color(TavlinTheme::hoverSurface));
        if (checked)
            RoundedShape::strokeInside(
                *painter, row, 10,
                color(appearance.highContrast ? TavlinTheme::brandAccent : TavlinTheme::selectedOutline), 1);
        // The ring lies 3 outside the row: the item keeps that room on its sides.
        if (checked && look.focusRing)
            ring(*painter, bounds, 12, appearance);
        area = row;
        content.left = 10;
        content.right = 4;
        content.symbolFrame = 20;
        content.gap = 10;
        content.symbol = look.symbol;
        content.ink = color(TavlinTheme::primaryText);
        content.font = SystemFont::regular(13, checked ? QFont::DemiBold : QFont::Medium);
        // A long title stays whole: chosen, it keeps the medium weight rather than lose its end.
        if (QFontMetrics(content.font).horizontalAdvance(content.text) > row.width() - 44)
            content.font = SystemFont::regular(13, QFont::Medium);
        // The symbol is in the accent: painted first, then the title over the usual ink.
        SymbolIcon::paint(*painter, look.symbol, QRectF(row.left() + 10 + 3, row.center().y() - 8, 16, 16),
                          color(TavlinTheme::brandAccent));
        content.symbol.clear();
        content.left = 10 + 20 + 10;
        break;
    }
    case Kind::copy: {
        RoundedShape::fill(*painter, bounds, RoundedShape::capsuleRadius(bounds), color(TavlinTheme::copySurface));
        if (showsRing(widget, option, look))
            ring(*painter, bounds, RoundedShape::capsuleRadius(bounds), appearance);
        content.ink = color(TavlinTheme::copyText);
        content.symbolSize = 12;
        content.symbolFrame = 14;
        break;
    }
    case Kind::pill: {
        painter->setOpacity(down ? 0.75 : 1.0);
        const qreal radius = RoundedShape::capsuleRadius(bounds);
        RoundedShape::fill(*painter, bounds, radius, color(TavlinTheme::controlFill));
        if (appearance.highContrast)
            RoundedShape::strokeInside(*painter, bounds, radius, content.ink, 1);
        if (showsRing(widget, option, look))
            ring(*painter, bounds, radius, appearance);
        content.symbolSize = content.symbolFrame = 12;
        content.gap = 5;
        content.left = look.padding;
        break;
    }
    case Kind::link: {
        if (showsRing(widget, option, look))
            ring(*painter, bounds, 8, appearance);
        content.ink = color(look.ink.value_or(TavlinTheme::brandAccent));
        content.symbolSize = content.symbolFrame = 14;
        content.left = 6;
        break;
    }
    case Kind::segment: {
        const qreal radius = RoundedShape::capsuleRadius(bounds);
        // Fill, border and weight follow the selection as it fades.
        const qreal selection = selectionOf(widget, option);
        if (hovered && !checked)
            RoundedShape::fill(*painter, bounds, radius, color(TavlinTheme::hoverSurface));
        const auto faded = [selection](QColor shown) {
            shown.setAlphaF(float(shown.alphaF() * selection));
            return shown;
        };
        const bool focused = showsRing(widget, option, look);
        if (appearance.highContrast) {
            // Under increased contrast the choice is a solid accent fill and the focus a ring clear
            // of it: the two read apart by their shape, not by the width of an accent edge.
            const QRectF chosen = focused ? bounds.adjusted(3, 3, -3, -3) : bounds;
            if (selection > 0)
                RoundedShape::fill(*painter, chosen, RoundedShape::capsuleRadius(chosen),
                                   faded(color(TavlinTheme::brandAccent)));
            if (selection >= 0.5)
                content.ink = color(TavlinTheme::actionText);
        } else if (selection > 0) {
            RoundedShape::fill(*painter, bounds, radius, faded(color(TavlinTheme::controlSelection)));
        }
        if (focused)
            ring(*painter, bounds, radius, appearance);
        content.font = SystemFont::regular(12, QFont::Medium);
        content.font.setWeight(
            QFont::Weight(qRound(int(QFont::Medium) + (int(QFont::DemiBold) - int(QFont::Medium)) * selection)));
        break;
    }
    }
    paintContent(*painter, area, content);
    painter->restore();
}

} // namespace tavlin
