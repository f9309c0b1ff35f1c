#pragma once

#include <QWidget>

class QLabel;

namespace tavlin {

// One setting: its symbol, its title (up to two lines) and its control at the trailing end.
class SettingsRow : public QWidget {
    Q_OBJECT
public:
    SettingsRow(const QString& title, const QString& symbol, QWidget* control, QWidget* parent = nullptr);

    QLabel* titleLabel() const { return title_; }

private:
    QLabel* title_;
};

} // namespace tavlin
