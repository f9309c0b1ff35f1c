#pragma once

#include <QWidget>

namespace tavlin {

// The capsule outline laid over a search field's capsule: the accent colour while the field has
// focus, else a hairline (thicker under increased contrast). Clicks pass through to the field.
class SearchFocusRing : public QWidget {
    Q_OBJECT
public:
    explicit SearchFocusRing(QWidget* parent = nullptr);

    bool isFocused() const { return focused_; }
    void setFocused(bool focused);

    // The outline's width for a state.
    static qreal lineWidth(bool focused, bool increasedContrast);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool focused_ = false;
};

} // namespace tavlin
