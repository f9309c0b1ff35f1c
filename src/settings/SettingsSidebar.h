#pragma once

#include "SettingsSection.h"

#include <QAbstractButton>
#include <QList>
#include <QWidget>

namespace tavlin {

class SettingsNavigation;

// The column of sections on the left of the Settings window. The column holds keyboard focus
// (the rows never do): Up and Down step through the sections; the focus ring shows on the
// selected row only while the last change came from the keyboard.
class SettingsSidebar : public QWidget {
    Q_OBJECT
public:
    static constexpr int width = 240;

    SettingsSidebar(SettingsNavigation& navigation, QList<SettingsSection> sections, QWidget* parent = nullptr);

    bool keyboardDriven() const { return keyboardDriven_; }
    // Whether the row of the selected section draws the focus ring now.
    bool showsFocus() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void select(SettingsSection section);
    void sync();

    SettingsNavigation& navigation_;
    QList<SettingsSection> sections_;
    QList<QAbstractButton*> items_;
    bool keyboardDriven_ = false;
};

} // namespace tavlin
