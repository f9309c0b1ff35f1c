#pragma once

#include "ThemeColor.h"

#include <QWidget>

#include <optional>

namespace tavlin {

// A decorative symbol of the settings, in the accent colour, optionally on a rounded tile.
// Hidden from assistive technology: the text beside it says what it means.
class SettingsSymbol : public QWidget {
    Q_OBJECT
public:
    SettingsSymbol(const QString& name, int pointSize, QSize frame, QWidget* parent = nullptr);

    void setColor(const ThemeColor& color);
    void setTile(const ThemeColor& fill, qreal radius);
    const QString& name() const { return name_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString name_;
    int pointSize_;
    ThemeColor color_;
    std::optional<ThemeColor> tile_;
    qreal radius_ = 0;
};

} // namespace tavlin
