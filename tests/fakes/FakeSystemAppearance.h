#pragma once

#include "SystemAppearance.h"

namespace tavlin::test {

// Desktop appearance settings that a test sets directly; each change is announced like the real
// one's.
class FakeSystemAppearance : public SystemAppearance {
public:
    bool isDark() const override { return m_dark; }
    bool increasedContrast() const override { return m_contrast; }
    bool reduceMotion() const override { return m_reduceMotion; }

    void setDark(bool on)
    {
        if (on != m_dark) {
            m_dark = on;
            Q_EMIT isDarkChanged();
        }
    }
    void setIncreasedContrast(bool on)
    {
        if (on != m_contrast) {
            m_contrast = on;
            Q_EMIT increasedContrastChanged();
        }
    }
    void setReduceMotion(bool on)
    {
        if (on != m_reduceMotion) {
            m_reduceMotion = on;
            Q_EMIT reduceMotionChanged();
        }
    }

private:
    bool m_dark = false;
    bool m_contrast = false;
    bool m_reduceMotion = false;
};

} // namespace tavlin::test
