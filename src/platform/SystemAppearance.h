#pragma once

#include <QObject>

namespace tavlin {

// The desktop's appearance settings that the palette and the animations follow. The real one reads
// them from the desktop portal (PortalSystemAppearance); tests use a fake.
class SystemAppearance : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool isDark() const = 0;
    virtual bool increasedContrast() const = 0;
    virtual bool reduceMotion() const = 0;

Q_SIGNALS:
    void isDarkChanged();
    void increasedContrastChanged();
    void reduceMotionChanged();
};

} // namespace tavlin
