#pragma once

#include "ThemeColor.h"

#include <QWidget>

#include <optional>

namespace tavlin {

// A named symbol of `side` pixels, centred in a fixed frame and tinted in a theme colour,
// optionally on a rounded tile. It only decorates: clicks go through to what lies beneath.
class SymbolTile : public QWidget {
    Q_OBJECT

public:
    SymbolTile(const QString& name, qreal side, QSize frame, const ThemeColor& color, QWidget* parent = nullptr);

    void setColor(const ThemeColor& color);
    // A rounded tile behind the symbol.
    void setTile(const ThemeColor& fill, qreal radius);
    QSize sizeHint() const override { return frame_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString name_;
    qreal side_;
    QSize frame_;
    ThemeColor color_;
    std::optional<ThemeColor> tile_;
    qreal tileRadius_ = 0;
};

} // namespace tavlin
