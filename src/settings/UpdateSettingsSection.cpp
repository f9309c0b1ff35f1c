#include "UpdateSettingsSection.h"

#include "AppUpdateController.h"
#include "ButtonLook.h"
#include "SettingsCaption.h"
#include "SettingsGroup.h"
#include "SettingsPane.h"
#include "SettingsRow.h"
#include "SwitchToggle.h"

#include <QCoreApplication>
#include <QHBoxLayout>

namespace tavlin {

UpdateSettingsSection::UpdateSettingsSection(AppUpdateController& updates, QWidget* parent)
    : QWidget(parent), updates_(updates)
{
    QVBoxLayout* layout = SettingsPane::stackLayout(this);

    const QString automaticTitle = QCoreApplication::translate("Tavlin", "Check for updates automatically");
    automatic_ = new SwitchToggle(automaticTitle);
    automatic_->setObjectName(QStringLiteral("automatic-update-checks"));
    connect(automatic_, &SwitchToggle::toggleRequested, &updates_, &AppUpdateController::setAutomaticChecks);

    auto* check = ButtonLook::action({TavlinButtonStyle::Kind::secondary, 30},
                                     QCoreApplication::translate("Tavlin", "Check for Updates"));
    check->setObjectName(QStringLiteral("check-for-updates"));
    connect(check, &QAbstractButton::clicked, &updates_, &AppUpdateController::checkNow);
    auto* download = ButtonLook::action({TavlinButtonStyle::Kind::secondary, 30},
                                        QCoreApplication::translate("Tavlin", "Open Download Page"));
    download->setObjectName(QStringLiteral("open-download-page"));
    connect(download, &QAbstractButton::clicked, &updates_, &AppUpdateController::openDownloadPage);
    check_ = check;
    download_ = download;
    auto* buttons = new QWidget();
    auto* buttonsLayout = new QHBoxLayout(buttons);
    buttonsLayout->setContentsMargins(0, 0, 0, 0);
    buttonsLayout->addWidget(check);
    buttonsLayout->addWidget(download);

    auto* group = new SettingsGroup(QCoreApplication::translate("Tavlin", "Updates"));
    group->add(new SettingsRow(automaticTitle, QStringLiteral("arrow.triangle.2.circlepath"), automatic_));
    group->addSeparator();
    const QString version = updates_.currentVersion();
    group->add(new SettingsRow(QCoreApplication::translate("Tavlin", "Version %1").arg(version),
                               QStringLiteral("info.circle"), buttons));
    layout->addWidget(group);
    status_ = new SettingsCaption({}, TavlinTheme::secondaryText, QStringLiteral("update-status"));
    layout->addWidget(status_);

    for (auto signal : {&AppUpdateController::availabilityChanged, &AppUpdateController::canCheckChanged,
                        &AppUpdateController::automaticChecksChanged, &AppUpdateController::lastCheckDateChanged})
        connect(&updates_, signal, this, &UpdateSettingsSection::sync);
    sync();
}

void UpdateSettingsSection::sync()
{
    const bool available = updates_.availability().isAvailable();
    automatic_->setChecked(updates_.automaticChecks());
    automatic_->setEnabled(available);
    check_->setVisible(available);
    check_->setEnabled(updates_.canCheck());
    download_->setVisible(!available);
    status_->setText(updates_.detail());
}

} // namespace tavlin
