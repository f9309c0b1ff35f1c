#pragma once

namespace tavlin {

class AppUpdateController;
class CaptureExclusions;
class HistoryModel;
class LaunchAtLoginController;
class RetentionSettings;
class SourceApplicationIcon;

// The controllers behind the General and History & Privacy panes; all present or none.
struct SettingsServices {
    HistoryModel& model;
    LaunchAtLoginController& launchAtLogin;
    CaptureExclusions& exclusions;
    RetentionSettings& retention;
    AppUpdateController& updates;
    const SourceApplicationIcon& sources;
};

} // namespace tavlin
