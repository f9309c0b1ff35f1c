#include "GeneralSettingsPane.h"

#include "AppUpdateController.h"
#include "ButtonLook.h"
#include "LaunchAtLoginController.h"
#include "SettingsCaption.h"
#include "SettingsGroup.h"
#include "SettingsRow.h"
#include "SwitchToggle.h"
#include "UpdateSettingsSection.h"

#include <QCoreApplication>
#include <QVBoxLayout>

namespace tavlin {

GeneralSettingsPane::GeneralSettingsPane(LaunchAtLoginController& launchAtLogin, AppUpdateController& updates,
                                         QWidget* parent)
    : SettingsPane(QCoreApplication::translate("Tavlin", "General"), QStringLiteral("gearshape"), true, parent),
      launchAtLogin_(launchAtLogin)
{
    const QString rowTitle = QCoreApplication::translate("Tavlin", "Open Tavlin at login");
    switch_ = new SwitchToggle(rowTitle);
    switch_->setObjectName(QStringLiteral("launch-at-login"));
    connect(switch_, &SwitchToggle::toggleRequested, &launchAtLogin_, &LaunchAtLoginController::setEnabled);
    auto* startup = new SettingsGroup(QCoreApplication::translate("Tavlin", "Startup"));
    startup->add(new SettingsRow(rowTitle, QStringLiteral("power"), switch_));
    add(startup);

    QVBoxLayout* captions = addStack();
    status_ = new SettingsCaption({}, TavlinTheme::secondaryText, QStringLiteral("launch-at-login-status"));
    captions->addWidget(status_);
    error_ = new SettingsCaption({}, TavlinTheme::systemRed, QStringLiteral("launch-at-login-error"));
    captions->addWidget(error_);
    auto* openSettings = ButtonLook::action(
        {TavlinButtonStyle::Kind::quiet, 34},
        QCoreApplication::translate("Tavlin", "Open Startup Applications Settings"));
    openSettings->setObjectName(QStringLiteral("open-login-items"));
    connect(openSettings, &QAbstractButton::clicked, &launchAtLogin_, &LaunchAtLoginController::openSystemSettings);
    captions->addWidget(openSettings, 0, Qt::AlignLeft);
    openSettings_ = openSettings;

    add(new UpdateSettingsSection(updates));

    connect(&launchAtLogin_, &LaunchAtLoginController::statusChanged, this, &GeneralSettingsPane::sync);
    connect(&launchAtLogin_, &LaunchAtLoginController::errorMessageChanged, this, &GeneralSettingsPane::sync);
    connect(this, &SettingsPane::appeared, this, [this, &updates] {
        launchAtLogin_.refresh();
        updates.refresh();
    });
    sync();
}

void GeneralSettingsPane::sync()
{
    switch_->setChecked(launchAtLogin_.isOn());
    switch_->setEnabled(launchAtLogin_.status() != LoginItemStatus::unsupported);
    status_->setText(launchAtLogin_.detail());
    error_->setText(launchAtLogin_.errorMessage().value_or(QString()));
    error_->setVisible(launchAtLogin_.errorMessage().has_value());
    openSettings_->setVisible(launchAtLogin_.needsSystemSettings());
}

} // namespace tavlin
