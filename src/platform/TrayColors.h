#pragma once

#include <QObject>

#include <optional>

namespace tavlin {

// The colour the desktop's tray asks its icons to be drawn in, where the tray states one. Main
// thread.
class TrayColors : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // The tray's foreground as 0xRRGGBB; nothing where no tray states it.
    virtual std::optional<quint32> foreground() const = 0;

Q_SIGNALS:
    // Also when a tray comes or goes.
    void foregroundChanged();
};

} // namespace tavlin
