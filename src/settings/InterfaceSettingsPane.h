#pragma once

#include "SettingsPane.h"

#include <functional>

namespace tavlin {

class LanguageSettings;
class SettingsPicker;
class SwitchToggle;
class ViewPreferences;

// The Interface section: theme, history view and preview, the interface language when the
// window has it, and the replay of the introduction when a replay hook is given.
class InterfaceSettingsPane : public SettingsPane {
    Q_OBJECT
public:
    InterfaceSettingsPane(ViewPreferences& preferences, LanguageSettings* language,
                          std::function<void()> replayOnboarding, bool scrolls, QWidget* parent = nullptr);

private:
    void sync();

    ViewPreferences& preferences_;
    SettingsPicker* theme_;
    SettingsPicker* viewMode_;
    SwitchToggle* preview_;
};

} // namespace tavlin
