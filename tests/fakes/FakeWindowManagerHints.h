#pragma once

#include "WindowManagerHints.h"

#include <QMap>
#include <QSet>

namespace tavlin::test {

// Records what the window manager was told, by window id.
class FakeWindowManagerHints : public WindowManagerHints {
public:
    QMap<quintptr, quintptr> stackedAbove;
    QSet<quintptr> closeOnly;
    QList<quintptr> minimised;

    void setStackedAbove(quintptr window, std::optional<quintptr> owner) override
    {
        if (owner)
            stackedAbove.insert(window, *owner);
        else
            stackedAbove.remove(window);
    }
    void setCloseOnly(quintptr window) override { closeOnly.insert(window); }
    void minimise(quintptr window) override { minimised.append(window); }
};

} // namespace tavlin::test
