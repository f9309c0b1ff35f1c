#pragma once

#include <QWidget>

class QVBoxLayout;

namespace tavlin {

class LanguageSettings;
class SettingsCaption;
class SettingsPicker;

// The interface-language choice: a picker, then either the note on "System Default" or, while
// the choice asks for another language than the running one, the notice with "Restart Tavlin".
class LanguageSettingsGroup : public QWidget {
    Q_OBJECT
public:
    explicit LanguageSettingsGroup(LanguageSettings& language, QWidget* parent = nullptr);

private:
    void sync();

    LanguageSettings& language_;
    SettingsPicker* picker_;
    SettingsCaption* caption_;
    QWidget* notice_;
};

} // namespace tavlin
