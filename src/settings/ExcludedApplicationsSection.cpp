#include "ExcludedApplicationsSection.h"

#include "ApplicationChooser.h"
#include "AssistiveRoles.h"
#include "ButtonLook.h"
#include "CaptureExclusions.h"
#include "CaptureGate.h"
#include "ExcludedApplicationRow.h"
#include "HistoryBrowser.h"
#include "KeyboardFocus.h"
#include "SettingsCaption.h"
#include "SettingsGroup.h"
#include "SettingsPane.h"
#include "SettingsRowSeparator.h"
#include "SettingsSymbol.h"
#include "SourceApplicationIcon.h"
#include "SystemFont.h"
#include "ThemeAppearance.h"
#include "Workspace.h"

#include <QApplication>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>

namespace tavlin {

namespace {

constexpr int offeredLimit = 12;

class EmptyRow : public QWidget {
public:
    EmptyRow()
    {
        setObjectName(QStringLiteral("exclusions-empty"));
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(16, 14, 16, 14);
        layout->setSpacing(12);
        layout->addWidget(new SettingsSymbol(QStringLiteral("checkmark.shield"), 15, QSize(20, 20)));
        auto* text = new ThemedLabel(
            QCoreApplication::translate(
                "Tavlin", "The list is empty: copies from all apps are saved, except for the built-in exclusions."),
            SystemFont::regular(12), TavlinTheme::secondaryText);
        text->setWordWrap(true);
        layout->addWidget(text, 1);
    }
};

} // namespace

ExcludedApplicationsSection::ExcludedApplicationsSection(HistoryBrowser& history, CaptureExclusions& exclusions,
                                                         const SourceApplicationIcon& sources, QWidget* parent)
    : QWidget(parent), history_(history), exclusions_(exclusions), sources_(sources)
{
    QVBoxLayout* layout = SettingsPane::stackLayout(this);
    group_ = new SettingsGroup(QCoreApplication::translate("Tavlin", "Don’t save history from apps"));
    rows_ = new QWidget();
    new QVBoxLayout(rows_);
    rows_->layout()->setContentsMargins(0, 0, 0, 0);
    rows_->layout()->setSpacing(0);
    group_->add(rows_);
    // The first rows are made before "Add App", so that they come before it in the focus chain.
    rebuildList();
    group_->addSeparator();
    auto* bar = new QWidget();
    bar->setFixedHeight(46);
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(12, 0, 12, 0);
    ButtonLook look = ButtonLook::withKind(ButtonLook::Kind::link);
    look.symbol = QStringLiteral("plus");
    auto* add = ButtonLook::push(look, QCoreApplication::translate("Tavlin", "Add App"));
    add->setObjectName(QStringLiteral("add-excluded-application"));
    AssistiveRoles::markPopupButton(add);
    add_ = add;
    menu_ = new QMenu(add);
    menu_->setObjectName(QStringLiteral("add-excluded-application-menu"));
    menu_->setAccessibleName(add->text());
    menu_->setAttribute(Qt::WA_WindowPropagation); // the window's theme: a menu is a window of its own
    add->setMenu(menu_);
    connect(menu_, &QMenu::aboutToShow, this, &ExcludedApplicationsSection::rebuildMenu);
    connect(menu_, &QMenu::aboutToShow, add, [add] { AssistiveRoles::setPopupOpen(add, true); });
    connect(menu_, &QMenu::aboutToHide, add, [add] { AssistiveRoles::setPopupOpen(add, false); });
    barLayout->addWidget(add);
    barLayout->addStretch();
    group_->add(bar);
    layout->addWidget(group_);

    message_ = new SettingsCaption({}, TavlinTheme::systemRed, QStringLiteral("exclusion-message"));
    message_->hide();
    layout->addWidget(message_);
    layout->addWidget(new SettingsCaption(QCoreApplication::translate(
        "Tavlin",
        "Tavlin doesn’t save new records while a selected app is active. The app is detected from the active "
        "window and may be detected inaccurately; if it can’t be detected, the record is saved as usual. "
        "History that is already saved isn’t deleted.")));
    layout->addWidget(new SettingsCaption(QCoreApplication::translate(
        "Tavlin", "Always excluded: 1Password, Bitwarden and data that apps mark as concealed or transient.")));

    connect(&exclusions_, &CaptureExclusions::bundleIDsChanged, this, &ExcludedApplicationsSection::rebuildList);
    rebuildMenu();
}

QStringList ExcludedApplicationsSection::knownSources() const
{
    QStringList offered;
    for (const ClipSourceSummary& source : history_.availableSources()) {
        if (!source.bundleID)
            continue;
        const QString& id = *source.bundleID;
        if (exclusions_.bundleIDs().contains(id) || CaptureGate::protectedSources().contains(id)
            || id == Workspace::ownApplicationID() || !CaptureExclusions::isValidBundleID(id))
            continue;
        offered.append(id);
        if (offered.size() == offeredLimit)
            break;
    }
    return offered;
}

void ExcludedApplicationsSection::rebuildList()
{
    // The keyboard on a remove button stays in the list as it changes: it goes to the button now
    // in that place (the next row's after a removal, the last row's after the last one), or to
    // "Add App" once no row is left, as it came to the old one; a screen reader hears it arrive.
    QWidget* focused = QApplication::focusWidget();
    const qsizetype focusedRow = rows_->findChildren<QToolButton*>().indexOf(focused);
    const Qt::FocusReason reason = focusedRow >= 0 && KeyboardFocus::cameByKeyboard(focused) ? Qt::TabFocusReason
                                                                                             : Qt::OtherFocusReason;
    // The old rows go once the keyboard has left them: hidden with it, a row would hand it on to
    // the next control itself, and the button being pressed is one of them.
    QWidgetList old;
    QLayout* layout = rows_->layout();
    while (QLayoutItem* item = layout->takeAt(0)) {
        old.append(item->widget());
        delete item;
    }
    QList<QToolButton*> buttons;
    for (const QString& bundleID : exclusions_.bundleIDs()) {
        if (!buttons.isEmpty())
            layout->addWidget(new SettingsRowSeparator());
        auto* row = new ExcludedApplicationRow(sources_, bundleID, [this, bundleID] { exclusions_.remove(bundleID); });
        layout->addWidget(row);
        buttons.append(row->findChild<QToolButton*>());
    }
    // Later rows join the window's focus chain at its end: Tab goes down the list as it reads
    // instead, after what comes before the list, then to "Add App" below it.
    if (add_) {
        QWidget* before = add_->previousInFocusChain();
        while (before != add_ && (!(before->focusPolicy() & Qt::TabFocus) || rows_->isAncestorOf(before)))
            before = before->previousInFocusChain();
        for (QToolButton* button : std::as_const(buttons)) {
            QWidget::setTabOrder(before, button);
            before = button;
        }
        QWidget::setTabOrder(before, add_);
    }
    if (buttons.isEmpty())
        layout->addWidget(new EmptyRow());
    if (focusedRow >= 0) {
        QWidget* next = buttons.isEmpty() ? add_ : buttons.value(std::min(focusedRow, buttons.size() - 1));
        next->parentWidget()->show(); // a layout would show its row only later, and focus needs it shown
        next->setFocus(reason);
    }
    for (QWidget* widget : std::as_const(old)) {
        widget->hide();
        widget->deleteLater();
    }
}

void ExcludedApplicationsSection::rebuildMenu()
{
    menu_->clear();
    const QStringList offered = knownSources();
    if (!offered.isEmpty()) {
        menu_->addSection(QCoreApplication::translate("Tavlin", "From History"));
        for (const QString& bundleID : offered) {
            menu_->addAction(ExcludedApplicationRow::displayName(sources_, bundleID), this, [this, bundleID] {
                setAddMessage(CaptureExclusions::message(exclusions_.add(bundleID)));
            });
        }
        menu_->addSeparator();
    }
    menu_->addAction(QCoreApplication::translate("Tavlin", "Choose App…"), this,
                     &ExcludedApplicationsSection::chooseApplication);
}

void ExcludedApplicationsSection::chooseApplication()
{
    auto* chooser = new ApplicationChooser(sources_, sources_.workspace().installedApplications(), window());
    chooser->setAttribute(Qt::WA_DeleteOnClose);
    chooser->setPalette(
        ThemeAppearance::palette(ThemeAppearance::of(this))); // a window of its own: themed like this one
    connect(chooser, &ApplicationChooser::chosen, this, [this](const QUrl& desktopFile) {
        setAddMessage(CaptureExclusions::message(exclusions_.addApplicationAt(desktopFile)));
    });
    chooser->open();
}

void ExcludedApplicationsSection::setAddMessage(const std::optional<QString>& message)
{
    message_->setText(message.value_or(QString()));
    message_->setVisible(message.has_value());
}

void ExcludedApplicationsSection::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        setAddMessage(std::nullopt); // shown anew
}

} // namespace tavlin
