#include "SettingsSidebar.h"

#include "ButtonLook.h"
#include "SettingsAccessibility.h"
#include "SettingsNavigation.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavlin {

namespace {

QPushButton* sidebarItem(SettingsSection section)
{
    ButtonLook look = ButtonLook::withKind(ButtonLook::Kind::sectionTab);
    look.symbol = symbol(section);
    auto* item = new QPushButton;
    item->setObjectName(QStringLiteral("settings-section-") + toRaw(section));
    SettingsAccessibility::markSectionTab(item); // before anything asks for its interface
    item->setText(title(section));
    ButtonLook::apply(item, look);
    item->setCheckable(true);
    // The column holds the focus; the rows never do.
    item->setFocusPolicy(Qt::NoFocus);
    item->setFixedHeight(36);
    item->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return item;
}

} // namespace

SettingsSidebar::SettingsSidebar(SettingsNavigation& navigation, QList<SettingsSection> sections, QWidget* parent)
    : QWidget(parent), navigation_(navigation), sections_(std::move(sections))
{
    setObjectName(QStringLiteral("settings-sidebar"));
    SettingsAccessibility::markSectionList(this);
    setAccessibleName(QCoreApplication::translate("Tavlin", "Settings sections"));
    setFocusPolicy(Qt::StrongFocus);
    setFixedWidth(width);
    auto* layout = new QVBoxLayout(this);
    // The window manager's title bar is above, so only a little room at the top.
    layout->setContentsMargins(12 - 3, 16, 12 - 3, 16);
    layout->setSpacing(4);
    // One section is chosen at a time; a click on the chosen one leaves it chosen.
    auto* group = new QButtonGroup(this);
    for (SettingsSection section : sections_) {
        auto* item = sidebarItem(section);
        group->addButton(item);
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
    // Assistive technology hears of the new tab first, and before Qt tells it of the rows' checks
    // (the old row's among them, while it still has the focus): it names the new section alone.
    for (bool selected : {true, false}) {
        for (int i = 0; i < items_.size(); ++i) {
            if ((sections_[i] == navigation_.section()) == selected)
                SettingsAccessibility::selectSectionTab(items_[i], selected);
        }
    }
    for (int i = 0; i < items_.size(); ++i) {
        items_[i]->setChecked(sections_[i] == navigation_.section());
        ButtonLook::change(items_[i], [this](ButtonLook& look) { look.focusRing = showsFocus(); });
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
    default: QWidget::keyPressEvent(event);
    }
}

void SettingsSidebar::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    // Tabbing here is keyboard navigation too: the selected row shows where the focus went.
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
        keyboardDriven_ = true;
    sync();
    // Qt tells assistive technology that the column took the focus once this returns; the
    // selected tab is said to hold it after that.
    QMetaObject::invokeMethod(
        this,
        [this] {
            for (QAbstractButton* item : std::as_const(items_)) {
                if (SettingsAccessibility::isSectionTabSelected(item) && hasFocus())
                    SettingsAccessibility::announceSectionTab(item);
            }
        },
        Qt::QueuedConnection);
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
