#pragma once

#include "TrayColors.h"

namespace tavlin::test {

// A tray whose stated foreground a test sets; each change is announced like the real one's.
class FakeTrayColors : public TrayColors {
public:
    std::optional<quint32> foreground() const override { return foreground_; }

    void setForeground(std::optional<quint32> foreground)
    {
        if (foreground != foreground_) {
            foreground_ = foreground;
            Q_EMIT foregroundChanged();
        }
    }

private:
    std::optional<quint32> foreground_;
};

} // namespace tavlin::test
