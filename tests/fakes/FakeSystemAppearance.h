#pragma once

#include "SystemAppearance.h"

namespace tavlin::test {

// Desktop appearance settings that a test sets directly; each change is announced like the real
// one's.
class FakeSystemAppearance : public SystemAppearance {
public:
    bool isDark() const override { return dark_; }
    bool increasedContrast() const override { return contrast_; }
    bool reduceMotion() const override { return reduceMotion_; }

    void setDark(bool on)
    {
        if (on != dark_) {
            dark_ = on;
            Q_EMIT isDarkChanged();
        }
    }
    void setIncreasedContrast(bool on)
    {
        if (on != contrast_) {
            contrast_ = on;
            Q_EMIT increasedContrastChanged();
        }
    }
    void setReduceMotion(bool on)
    {
        if (on != reduceMotion_) {
            reduceMotion_ = on;
            Q_EMIT reduceMotionChanged();
        }
    }

private:
    bool dark_ = false;
    bool contrast_ = false;
    bool reduceMotion_ = false;
};

} // namespace tavlin::test
