#pragma once

#include "SettingsPane.h"

namespace tavlin {

class AppUpdateController;
class LaunchAtLoginController;
class SettingsCaption;
class SwitchToggle;

// The General section: start at login, with its status and any failure, and the updates.
// Both controllers are read afresh each time the pane appears, so a change made elsewhere
// (the desktop's startup settings) shows at once.
class GeneralSettingsPane : public SettingsPane {
    Q_OBJECT
public:
    GeneralSettingsPane(LaunchAtLoginController& launchAtLogin, AppUpdateController& updates,
                        QWidget* parent = nullptr);

private:
    void sync();

    LaunchAtLoginController& launchAtLogin_;
    SwitchToggle* switch_;
    SettingsCaption* status_;
    SettingsCaption* error_;
    QWidget* openSettings_;
};

} // namespace tavlin
