#pragma once

#include "SettingsPane.h"

namespace tavlin {

class GlobalShortcut;
class SettingsCaption;
class ShortcutRecorder;

// The Quick Panel section: the recorder of the shortcut, a hint that follows the recording,
// Reset to the default, and the service's error in red. Leaving the screen cancels a recording.
class ShortcutSettingsView : public SettingsPane {
    Q_OBJECT
public:
    explicit ShortcutSettingsView(GlobalShortcut& shortcut, QWidget* parent = nullptr);

private:
    void sync();

    GlobalShortcut& shortcut_;
    ShortcutRecorder* recorder_;
    SettingsCaption* hint_;
    QWidget* reset_;
    SettingsCaption* error_;
};

} // namespace tavlin
