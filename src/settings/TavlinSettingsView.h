#pragma once

#include "SettingsSection.h"
#include "SettingsServices.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

namespace tavlin {

class GlobalShortcut;
class LanguageSettings;
class SettingsNavigation;
class SettingsSidebar;
class SystemAppearance;
class ViewPreferences;

// The content of the Settings window: the sidebar of the sections its services allow, a hairline,
// and the pane of the selected section, built afresh on every change of section. With neither a
// shortcut nor services it is the Interface pane alone. It follows the preferred theme, itself or
// through its frame.
class TavlinSettingsView : public QWidget {
    Q_OBJECT
public:
    struct Inputs {
        ViewPreferences& preferences;
        SettingsNavigation& navigation;
        // The desktop's appearance, for a view that themes its window itself; none where the
        // window's frame follows the theme already.
        SystemAppearance* appearance = nullptr;
        GlobalShortcut* shortcut = nullptr;
        std::optional<SettingsServices> services;
        LanguageSettings* language = nullptr;
        // Runs the introduction again; without it the Interface pane offers no replay.
        std::function<void()> replayOnboarding;
    };

    explicit TavlinSettingsView(Inputs inputs, QWidget* parent = nullptr);

    // The sections offered, in sidebar order.
    QList<SettingsSection> availableSections() const;
    // The pane shown now.
    QWidget* detailPane() const { return pane_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showSection();
    QWidget* makePane(SettingsSection section);

    Inputs inputs_;
    QWidget* detail_ = nullptr;
    QPointer<QWidget> pane_;
};

} // namespace tavlin
