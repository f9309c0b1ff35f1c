#include "SettingsSidebar.h"

#include "RoundedShape.h"
#include "SettingsAccessibility.h"
#include "SettingsNavigation.h"
#include "SymbolIcon.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace tavlin {

namespace {

class SidebarItem : public QAbstractButton {
public:
    SidebarItem(SettingsSection section, const SettingsSidebar& sidebar, QWidget* parent)
        : QAbstractButton(parent), section_(section), sidebar_(sidebar)
    {
        setObjectName(QStringLiteral("settings-section-") + toRaw(section));
        SettingsAccessibility::markSectionTab(this); // before anything asks for its interface
        setText(title(section));
        setCheckable(true);
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_Hover);
        setFixedHeight(36);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override { return {SettingsSidebar::width - 24, 36}; }

protected:
    void nextCheckState() override {} // the navigation decides what is selected

    void paintEvent(QPaintEvent*) override
    {
        const Appearance appearance = ThemeAppearance::of(this);
        QPainter painter(this);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        const QRectF row = QRectF(rect()).adjusted(3, 0, -3, 0);
        if (isChecked())
            RoundedShape::fill(painter, row, 10, TavlinTheme::selectedBackground.resolve(appearance));
        else if (underMouse())
            RoundedShape::fill(painter, row, 10, TavlinTheme::hoverSurface.resolve(appearance));
        if (isChecked()) {
            const ThemeColor& outline = appearance.highContrast ? TavlinTheme::brandAccent : TavlinTheme::selectedOutline;
            RoundedShape::strokeInside(painter, row, 10, outline.resolve(appearance), 1);
        }
        SymbolIcon::paint(painter, symbol(section_), QRectF(row.left() + 10 + 1, row.center().y() - 8, 16, 16),
                          TavlinTheme::brandAccent.resolve(appearance));
        const QRectF textRect = row.adjusted(10 + 20 + 10, 0, -4, 0);
        QFont font = SystemFont::regular(13, isChecked() ? QFont::DemiBold : QFont::Medium);
        // A long title stays whole: selected, it keeps the medium weight rather than lose its end.
        if (QFontMetrics(font).horizontalAdvance(text()) > textRect.width())
            font = SystemFont::regular(13, QFont::Medium);
        painter.setFont(font);
        painter.setPen(TavlinTheme::primaryText.resolve(appearance));
        painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                         painter.fontMetrics().elidedText(text(), Qt::ElideRight, qFloor(textRect.width())));
        if (isChecked() && sidebar_.showsFocus()) {
            // The ring lies 3 outside the row: the item keeps that room on its sides.
            RoundedShape::strokeInside(painter, QRectF(rect()).adjusted(0, 0, 0, 0), 12,
                                       TavlinTheme::brandAccent.resolve(appearance), 2);
        }
    }

private:
    SettingsSection section_;
    const SettingsSidebar& sidebar_;
};

} // namespace

SettingsSidebar::SettingsSidebar(SettingsNavigation& navigation, QList<SettingsSection> sections, QWidget* parent)
    : QWidget(parent), navigation_(navigation), sections_(std::move(sections))
{
    setObjectName(QStringLiteral("settings-sidebar"));
    setAccessibleName(QCoreApplication::translate("Tavlin", "Settings sections"));
    setFocusPolicy(Qt::StrongFocus);
    setFixedWidth(width);
    auto* layout = new QVBoxLayout(this);
    // The window manager's title bar is above, so only a little room at the top.
    layout->setContentsMargins(12 - 3, 16, 12 - 3, 16);
    layout->setSpacing(4);
    for (SettingsSection section : sections_) {
        auto* item = new SidebarItem(section, *this, this);
        connect(item, &QAbstractButton::clicked, this, [this, section] {
            select(section);
            keyboardDriven_ = false;
            setFocus(Qt::MouseFocusReason);
            sync();
        });
        items_.append(item);
        layout->addWidget(item);
    }
    layout->addStretch();
    connect(&navigation_, &SettingsNavigation::sectionChanged, this, &SettingsSidebar::sync);
    sync();
}

bool SettingsSidebar::showsFocus() const
{
    return hasFocus() && keyboardDriven_;
}

void SettingsSidebar::select(SettingsSection section)
{
    navigation_.setSection(section);
}

void SettingsSidebar::sync()
{
    for (int i = 0; i < items_.size(); ++i) {
        const bool selected = sections_[i] == navigation_.section();
        const bool changed = items_[i]->isChecked() != selected;
        items_[i]->setChecked(selected);
        items_[i]->update();
        if (changed && QAccessible::isActive()) {
            QAccessible::State selection;
            selection.selected = true;
            QAccessibleStateChangeEvent event(items_[i], selection);
            QAccessible::updateAccessibility(&event);
        }
    }
}

void SettingsSidebar::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        keyboardDriven_ = true;
        navigation_.move(event->key() == Qt::Key_Up ? -1 : 1, sections_);
        sync();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
        keyboardDriven_ = true;
        sync();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void SettingsSidebar::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    // Tabbing here is keyboard navigation too: the selected row shows where the focus went.
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
        keyboardDriven_ = true;
    sync();
}

void SettingsSidebar::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    sync();
}

void SettingsSidebar::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    setFocus(Qt::OtherFocusReason);
}

void SettingsSidebar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), TavlinTheme::sidebarBackground.resolve(ThemeAppearance::of(this)));
}

} // namespace tavlin
