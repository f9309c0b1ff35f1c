#pragma once

#include <QSet>
#include <QString>

#include <optional>

namespace tavlin {

// One observed clipboard state, as the text-only gate (`CaptureGate::accept`) judges it.
struct ClipboardSnapshot {
    qint64 changeCount = 0;
    std::optional<QString> text;
    QSet<QString> types;
    // Identifier of the frontmost application, when known.
    std::optional<QString> source;

    bool operator==(const ClipboardSnapshot&) const = default;
};

} // namespace tavlin
