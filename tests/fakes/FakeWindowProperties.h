#pragma once

#include "WindowProperties.h"

#include <QMap>
#include <QPair>

namespace tavlin::test {

// Window properties kept in memory, by native window and name.
class FakeWindowProperties : public WindowProperties {
public:
    QMap<QPair<quintptr, QByteArray>, QByteArray> values;

    std::optional<QByteArray> read(quintptr window, const char* name) const override
    {
        const auto found = values.constFind({window, QByteArray(name)});
        return found == values.constEnd() ? std::nullopt : std::optional(*found);
    }
    void write(quintptr window, const char* name, const std::optional<QByteArray>& value) override
    {
        if (value)
            values.insert({window, QByteArray(name)}, *value);
        else
            values.remove({window, QByteArray(name)});
    }
};

} // namespace tavlin::test
