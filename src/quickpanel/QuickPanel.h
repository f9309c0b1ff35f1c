#pragma once

#include "QuickPanelCommand.h"

#include <QPointer>
#include <QWidget>

namespace tavlin {

class PanelContentEffect;
class QuickPanelMotion;

// The Quick Panel's window: frameless, above ordinary windows, a tool window the window manager
// keeps off the task bar. It is unmapped between showings, so that it always opens on the
// current workspace. It paints its surface in the outline the motion gives and fades its content
// with it; without a compositor the outline becomes a hard-edged mask and nothing fades. Smaller
// than its design size (on a small screen), it lays its content out at that size and shows it
// shrunk about its top centre; clicks land where they are seen.
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
    // How much the content is shrunk: min(width / 420, height / 310, 1).
    qreal contentScale() const;

    static constexpr QSize designSize{420, 310};

Q_SIGNALS:
    void commandRequested(QuickPanelCommand command);
    // Clicks are to go through to the windows beneath, or no longer.
    void clickThroughChanged(bool through);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow();
    // Where a point of the panel is in the content's own layout, shrunk or not.
    QTransform panelToContent() const;

    QuickPanelMotion& motion_;
    QWidget* content_ = nullptr;
    PanelContentEffect* effect_ = nullptr;
    QWidget* edge_ = nullptr;
    bool compositing_ = true;
    bool ignoresMouseEvents_ = false;
    // The content's widget a press went to, which takes the pointer until the buttons are up.
    QPointer<QWidget> pressed_;
};

} // namespace tavlin
