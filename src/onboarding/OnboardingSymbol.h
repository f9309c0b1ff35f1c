#pragma once

#include "ThemeColor.h"

#include <QWidget>

#include <optional>

namespace tavlin {

// A decorative symbol of the introduction, tinted in a palette colour, optionally on a rounded
// tile; hidden from assistive technology.
class OnboardingSymbol : public QWidget {
    Q_OBJECT

public:
    OnboardingSymbol(const QString& name, double symbolSize, QSize frame, const ThemeColor& color, QWidget* parent = nullptr);

    // A rounded tile behind the symbol.
    void setTile(const ThemeColor& color, double radius);
    QSize sizeHint() const override { return frame_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString name_;
    double symbolSize_;
    QSize frame_;
    ThemeColor color_;
    std::optional<ThemeColor> tile_;
    double tileRadius_ = 0;
};

} // namespace tavlin
