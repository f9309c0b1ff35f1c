#pragma once

#include <QObject>

#include <type_traits>

namespace tavlin {

// The one way an observable object changes a published property: stores the value and emits the
// property's own change signal, only when the value changed. True when it did.
template <class Owner, class T, class Signal>
bool publish(Owner* owner, T& field, const std::type_identity_t<T>& value, Signal changed)
{
    if (field == value)
        return false;
    field = value;
    Q_EMIT(owner->*changed)();
    return true;
}

} // namespace tavlin
