#pragma once

#include "HistoryViewMode.h"
#include "SpringAnimation.h"

#include <QWidget>

namespace tavlin {

// A miniature, still picture of the history window for the personalize screen: a sidebar, four
// made-up records as a list or as cards, and a preview pane when asked for. It moves between its
// layouts under a spring (at once with reduced motion) and is one accessible picture.
class OnboardingDemo : public QWidget {
    Q_OBJECT

public:
    explicit OnboardingDemo(HistoryViewMode viewMode, bool showPreview, QWidget* parent = nullptr);

    void setViewMode(HistoryViewMode mode);
    void setShowPreview(bool show);
    // The accessible value: "List, preview on".
    QString valueText() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void moveTo(SpringAnimation& spring, double& value, double target);
    void describe();

    HistoryViewMode viewMode_;
    bool showPreview_;
    // 0 list, 1 cards; 0 no preview, 1 preview: where the picture is between the two layouts.
    double cards_;
    double preview_;
    SpringAnimation cardsSpring_;
    SpringAnimation previewSpring_;
};

} // namespace tavlin
