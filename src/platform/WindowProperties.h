#pragma once

#include <QByteArray>

#include <optional>

namespace tavlin {

// Text properties the window system keeps on a top-level window, such as the variant of its title
// bar. Main thread.
class WindowProperties {
public:
    virtual ~WindowProperties() = default;

    // The UTF-8 value of a property of a native window; nothing when it has none.
    virtual std::optional<QByteArray> read(quintptr window, const char* name) const = 0;
    // Writes the value, or deletes the property for none.
    virtual void write(quintptr window, const char* name, const std::optional<QByteArray>& value) = 0;
};

} // namespace tavlin
