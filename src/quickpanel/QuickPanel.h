#pragma once

#include "QuickPanelCommand.h"

#include <QWidget>

class QGraphicsOpacityEffect;

namespace tavlin {

class QuickPanelMotion;

// The Quick Panel's window: frameless, above ordinary windows, a tool window the window manager
// keeps off the task bar. It is unmapped between showings, so that it always opens on the
// current workspace. It paints its surface in the outline the motion gives and fades its content
// with it; without a compositor the outline becomes a hard-edged mask and nothing fades.
class QuickPanel : public QWidget {
    Q_OBJECT

public:
    explicit QuickPanel(QuickPanelMotion& motion, QWidget* parent = nullptr);

    // The content, laid over the whole surface.
    void setContent(QWidget* content);
    QWidget* content() const { return content_; }
    void setCompositing(bool compositing);
    // While true, clicks go through the panel to the windows beneath it.
    void setIgnoresMouseEvents(bool ignores);
    bool ignoresMouseEvents() const { return ignoresMouseEvents_; }

Q_SIGNALS:
    void commandRequested(QuickPanelCommand command);
    // Clicks are to go through to the windows beneath, or no longer.
    void clickThroughChanged(bool through);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void follow();

    QuickPanelMotion& motion_;
    QWidget* content_ = nullptr;
    QGraphicsOpacityEffect* fade_ = nullptr;
    QWidget* edge_ = nullptr;
    bool compositing_ = true;
    bool ignoresMouseEvents_ = false;
};

} // namespace tavlin
