#pragma once

#include <QWidget>

namespace tavlin {

// A card of the introduction: a rounded surface with a faint shadow and a hairline border (an
// accent line under increased contrast). Its content is laid out inside it by the caller.
class OnboardingSurface : public QWidget {
    Q_OBJECT

public:
    explicit OnboardingSurface(double cornerRadius, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double cornerRadius_;
};

} // namespace tavlin
