#pragma once

#include <QWidget>

namespace tavlin {

// A small still picture of the Quick Panel: a search field and one selected record. One
// accessible picture, "Quick Panel example"; it takes no input.
class OnboardingQuickPanelDemo : public QWidget {
    Q_OBJECT

public:
    explicit OnboardingQuickPanelDemo(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tavlin
