#pragma once

#include <QWidget>

#include <optional>

namespace tavlin {

// The introduction's window: fixed in size, a close button only, moved by dragging its
// background. It is a plain window, so Escape never closes it.
class OnboardingWindow : public QWidget {
    Q_OBJECT

public:
    OnboardingWindow(QWidget* content, QSize size, QWidget* parent = nullptr);

Q_SIGNALS:
    // The user closed the window (its close button, the window manager, Ctrl+W).
    void willClose();

protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::optional<QPointF> pressedAt_;
};

} // namespace tavlin
