#pragma once

#include <QWidget>

namespace tavlin {

// The hairline between two rows of a group, starting where the row titles start.
class SettingsRowSeparator : public QWidget {
    Q_OBJECT
public:
    explicit SettingsRowSeparator(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tavlin
