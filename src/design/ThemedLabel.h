#pragma once

#include "ThemeColor.h"

#include <QLabel>

namespace tavlin {

// A label in a palette colour, resolved again whenever its window's appearance changes.
class ThemedLabel : public QLabel {
    Q_OBJECT
public:
    ThemedLabel(const QString& text, const QFont& font, const ThemeColor& color, QWidget* parent = nullptr);

    void setColor(const ThemeColor& color);

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void applyColor();

    ThemeColor color_;
};

} // namespace tavlin
