#pragma once

#include <QWidget>

namespace tavlin {

// The top of every settings pane: the section's symbol on a tinted tile, then its title.
class SettingsPaneHeader : public QWidget {
    Q_OBJECT
public:
    SettingsPaneHeader(const QString& title, const QString& symbol, QWidget* parent = nullptr);
};

} // namespace tavlin
