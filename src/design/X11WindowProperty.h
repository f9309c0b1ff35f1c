#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <optional>

namespace tavlin {

// A UTF-8 string property of a top-level window on the X11 display. Does nothing (and reads
// nothing) on other platforms or before the window has its native handle.
struct X11WindowProperty {
    static bool available(const QWidget* window);
    static std::optional<QByteArray> read(const QWidget* window, const char* name);
    // Writes the value, or deletes the property for none.
    static void write(const QWidget* window, const char* name, const std::optional<QByteArray>& value);
};

} // namespace tavlin
