#pragma once

#include <QtGlobal>

#include <optional>

namespace tavlin {

// What the window manager is told about our top-level windows beyond what the toolkit says, by
// native window id. Main thread.
class WindowManagerHints {
public:
    virtual ~WindowManagerHints() = default;

    // Keeps `window` stacked above `owner` (and in its layer) for as long as both show; none lets
    // it stand on its own again. Takes effect on a shown window without re-creating it.
    virtual void setStackedAbove(quintptr window, std::optional<quintptr> owner) = 0;
    // Offers the user a close button alone: no minimise, no maximise, no resizing. For a window
    // not yet shown.
    virtual void setCloseOnly(quintptr window) = 0;
    // Asks for the shown `window` to be minimised, as its frame's own button does, leaving the
    // window marked to show normally the next time it is mapped.
    virtual void minimise(quintptr window) = 0;
};

} // namespace tavlin
