#pragma once

#include <QWidget>

namespace tavlin {

class AppUpdateController;
class SettingsCaption;
class SettingsRow;
class SwitchToggle;

// The Updates group of the General pane: automatic checks, the version with "Check for Updates"
// (or the download page where this build cannot check), and the updater's status.
class UpdateSettingsSection : public QWidget {
    Q_OBJECT
public:
    explicit UpdateSettingsSection(AppUpdateController& updates, QWidget* parent = nullptr);

private:
    void sync();

    AppUpdateController& updates_;
    SwitchToggle* automatic_;
    QWidget* check_;
    QWidget* download_;
    SettingsCaption* status_;
};

} // namespace tavlin
