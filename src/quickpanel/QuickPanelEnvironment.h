#pragma once

#include "QuickPanelGeometry.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>
#include <optional>

namespace tavlin {

class DesktopPresses;
class SystemAppearance;
class WindowFocus;

// The keyboard focus to give back when the Quick Panel closes: one of our own windows
// (internal) or another application's window (external).
struct QuickPanelFocus {
    // Ours, for an internal focus; none for an external one.
    QPointer<QWidget> ownWindow;
    bool external = false;
    // Gives the focus back; whether it worked.
    std::function<bool()> restore = [] { return false; };

    static QuickPanelFocus internal(QWidget* window);
};

// Everything through which the Quick Panel reaches the desktop, so that tests can stand in for
// it. The application builds the real one.
struct QuickPanelEnvironment {
    std::function<QuickPanelFocus()> captureFocus = [] { return QuickPanelFocus(); };
    // Gives the keyboard to the panel once it is on screen, where asking the window manager (as
    // Qt does) is not enough.
    std::function<void(QWidget* panel)> activate = [](QWidget*) {};
    // Whether focus may go back: only while the panel has it.
    std::function<bool(QWidget* panel)> mayRestoreFocus = [](QWidget* panel) { return panel->isActiveWindow(); };
    // The screen under the pointer, else the primary one; none without screens.
    std::function<std::optional<QuickPanelGeometry::Display>()> display;
    std::function<bool()> reduceMotion = [] { return false; };
    // From the placement's coordinates to the desktop's.
    std::function<QRect(const QRectF&)> toScreen;
    // Calls `onPress` for every mouse press anywhere on the desktop, until the returned
    // function is called.
    std::function<std::function<void()>(std::function<void()> onPress)> watchPresses =
        [](std::function<void()>) { return std::function<void()>([] {}); };
    // Lets mouse presses through the panel to the windows beneath, or stops doing so.
    std::function<void(QWidget* panel, bool)> passClicks = [](QWidget*, bool) {};
    // Whether a compositor blends translucent windows; without one the panel is cut out hard.
    std::function<bool()> compositing = [] { return true; };

    // Screens as Qt reports them, the pointer from QCursor; focus and presses left to the caller.
    static QuickPanelEnvironment screens();
    // The whole desktop: screens, the keyboard focus of every application's windows, presses
    // anywhere, and the desktop's motion and compositing settings.
    static QuickPanelEnvironment desktop(WindowFocus& focus, DesktopPresses& presses, SystemAppearance& appearance);
};

} // namespace tavlin
