#include "HistoryControls.h"

#include "RoundedShape.h"
#include "SymbolIcon.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QPainter>
#include <QScrollArea>
#include <QStyleOptionSlider>

#include <algorithm>

namespace tavlin {

void HoverButton::enterEvent(QEnterEvent* event)
{
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void HoverButton::leaveEvent(QEvent* event)
{
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

CapsuleButton::CapsuleButton(const QString& text, const QFont& font, int horizontalPadding, QWidget* parent)
    : QAbstractButton(parent), padding_(horizontalPadding)
{
    setText(text);
    setFont(font);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void CapsuleButton::setSelected(bool selected)
{
    if (selected == selected_)
        return;
    selected_ = selected;
    update();
}

QSize CapsuleButton::sizeHint() const
{
    const int symbol = symbol_.isEmpty() ? 0 : 16 + 6;
    return {2 * padding_ + symbol + fontMetrics().horizontalAdvance(text()), 32};
}

qreal CapsuleButton::borderWidth(bool selected, bool increasedContrast)
{
    return increasedContrast ? 1.5 : selected ? 0 : 1;
}

void CapsuleButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Appearance appearance = ThemeAppearance::of(this);
    const QRectF shape = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = RoundedShape::capsuleRadius(shape);
    RoundedShape::fill(painter, shape, radius,
                       (selected_ ? TavlinTheme::controlSelection : TavlinTheme::controlSurface).resolve(appearance));
    const qreal border = borderWidth(selected_, appearance.highContrast);
    if (border > 0)
        RoundedShape::strokeInside(painter, shape, radius,
                                   (appearance.highContrast ? TavlinTheme::brandAccent : TavlinTheme::controlBorder).resolve(appearance),
                                   border);
    const QColor ink = TavlinTheme::primaryText.resolve(appearance);
    qreal x = padding_;
    if (!symbol_.isEmpty()) {
        SymbolIcon::paint(painter, symbol_, QRectF(x, height() / 2.0 - 8, 16, 16), ink);
        x += 22;
    }
    painter.setPen(ink);
    painter.setFont(font());
    painter.drawText(QRectF(x, 0, width() - x - padding_ + 1, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
    if (hasFocus())
        RoundedShape::strokeInside(painter, shape, radius, TavlinTheme::focusColor.resolve(appearance), 2);
}

SymbolButton::SymbolButton(const QString& symbol, int side, int symbolSize, const ThemeColor& color, QWidget* parent)
    : HoverButton(parent), symbol_(symbol), side_(side), symbolSize_(symbolSize), color_(color)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setFixedSize(side, side);
}

void SymbolButton::setLabel(const QString& label)
{
    setToolTip(label);
    setAccessibleName(label);
}

void SymbolButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Appearance appearance = ThemeAppearance::of(this);
    if (isHovered() || hasFocus())
        RoundedShape::fill(painter, rect(), 6, TavlinTheme::hoverSurface.resolve(appearance));
    QColor color = color_.resolve(appearance);
    if (!isEnabled())
        color.setAlphaF(color.alphaF() * 0.4);
    const qreal inset = (side_ - symbolSize_) / 2.0;
    SymbolIcon::paint(painter, symbol_, QRectF(inset, inset, symbolSize_, symbolSize_), color);
}

SidebarRow::SidebarRow(const QString& symbol, const QString& title, bool settings, QWidget* parent)
    : HoverButton(parent), symbol_(symbol), settings_(settings)
{
    setText(title);
    setFont(SystemFont::regular(13, QFont::Medium));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void SidebarRow::setCount(const QString& count)
{
    count_ = count;
    setAccessibleDescription(count);
    update();
}

void SidebarRow::setCurrent(bool current)
{
    current_ = current;
    update();
}

QSize SidebarRow::sizeHint() const
{
    return {156, 11 + 20 + 11};
}

void SidebarRow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Appearance appearance = ThemeAppearance::of(this);
    const QRectF shape = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (settings_)
        RoundedShape::fill(painter, shape, 12, (isHovered() ? TavlinTheme::hoverSurface : TavlinTheme::controlFill).resolve(appearance));
    else if (current_)
        RoundedShape::fill(painter, shape, 12, TavlinTheme::selectedBackground.resolve(appearance));
    if (current_ && !settings_)
        RoundedShape::strokeInside(painter, shape, 12,
                                   (appearance.highContrast ? TavlinTheme::brandAccent : TavlinTheme::selectedOutline).resolve(appearance), 1);
    if (hasFocus())
        RoundedShape::strokeInside(painter, shape, 12, TavlinTheme::focusColor.resolve(appearance), 2);
    const QColor ink = TavlinTheme::primaryText.resolve(appearance);
    const qreal symbol = settings_ ? 14 : 16;
    SymbolIcon::paint(painter, symbol_, QRectF(12, height() / 2.0 - symbol / 2, symbol, symbol), ink);
    painter.setFont(font());
    painter.setPen(ink);
    const qreal x = 12 + symbol + 10;
    painter.drawText(QRectF(x, 0, width() - x - 12, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
    if (!count_.isEmpty()) {
        QFont caption = SystemFont::regular(11);
        painter.setFont(caption);
        painter.setPen(TavlinTheme::secondaryText.resolve(appearance));
        painter.drawText(QRectF(0, 0, width() - 12, height()), Qt::AlignRight | Qt::AlignVCenter, count_);
    }
}

void clearBackground(QAbstractScrollArea* area)
{
    for (QWidget* widget : {static_cast<QWidget*>(area), area->viewport()}) {
        widget->setAutoFillBackground(false);
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Base, Qt::transparent);
        palette.setColor(QPalette::Window, Qt::transparent);
        widget->setPalette(palette);
    }
    if (auto* scroll = qobject_cast<QScrollArea*>(area); scroll && scroll->widget())
        scroll->widget()->setAutoFillBackground(false);
}

void SlimScrollBar::paintEvent(QPaintEvent*)
{
    if (maximum() <= minimum())
        return;
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRectF handle = QRectF(style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this))
                              .adjusted(2.5, 1, -2.5, -1);
    QColor color = TavlinTheme::secondaryText.resolve(ThemeAppearance::of(window()));
    color.setAlphaF(isSliderDown() ? 0.8f : 0.5f);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawRoundedRect(handle, handle.width() / 2, handle.width() / 2);
}

HeaderTitleLine::HeaderTitleLine(QWidget* heading, QWidget* search, QWidget* actions, QWidget* parent)
    : QWidget(parent), heading_(heading), search_(search), actions_(actions)
{
    for (QWidget* child : {heading, search, actions})
        child->setParent(this);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

bool HeaderTitleLine::fitsWide(int width, int heading, int actions)
{
    return heading + searchWidth + actions + 3 * 16 <= width;
}

QSize HeaderTitleLine::sizeHint() const
{
    return {heading_->sizeHint().width() + searchWidth + actions_->sizeHint().width() + 48, heightForWidth(width())};
}

QSize HeaderTitleLine::minimumSizeHint() const
{
    return {heading_->minimumSizeHint().width() + actions_->sizeHint().width() + 4, heightForWidth(0)};
}

int HeaderTitleLine::heightForWidth(int width) const
{
    const int top = qMax(heading_->sizeHint().height(), actions_->sizeHint().height());
    if (fitsWide(width, heading_->sizeHint().width(), actions_->sizeHint().width()))
        return qMax(top, searchHeight);
    return top + 12 + searchHeight;
}

void HeaderTitleLine::resizeEvent(QResizeEvent*)
{
    arrange();
}

void HeaderTitleLine::arrange()
{
    const QSize heading = heading_->sizeHint();
    const QSize actions = actions_->sizeHint();
    wide_ = fitsWide(width(), heading.width(), actions.width());
    if (wide_) {
        const int line = std::max({heading.height(), actions.height(), int(searchHeight)});
        heading_->setGeometry(0, (line - heading.height()) / 2, heading.width(), heading.height());
        actions_->setGeometry(width() - actions.width(), (line - actions.height()) / 2, actions.width(), actions.height());
        search_->setGeometry(width() - actions.width() - 16 - searchWidth, (line - searchHeight) / 2, searchWidth, searchHeight);
        return;
    }
    const int top = qMax(heading.height(), actions.height());
    const int headingWidth = qMax(0, qMin(heading.width(), width() - actions.width() - 4));
    heading_->setGeometry(0, (top - heading.height()) / 2, headingWidth, heading.height());
    actions_->setGeometry(width() - actions.width(), (top - actions.height()) / 2, actions.width(), actions.height());
    search_->setGeometry(0, top + 12, width(), searchHeight);
}

} // namespace tavlin
