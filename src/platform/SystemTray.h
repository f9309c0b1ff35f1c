#pragma once

#include <QObject>

namespace tavlin {

// Whether the desktop has a tray for status icons (an XEmbed tray on X11), followed as trays come
// and go: many desktops have none. Main thread.
class SystemTray : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual bool isAvailable() const = 0;

Q_SIGNALS:
    void availabilityChanged(bool available);
};

} // namespace tavlin
