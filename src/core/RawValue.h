#pragma once

#include <QStringView>

#include <optional>

namespace tavlin {

// Enumerations with a stored string form implement toRaw(E) and specialise fromRaw<E>, which
// accepts exactly the raw strings, case-sensitive, and gives nothing for any other text.
template<class E>
std::optional<E> fromRaw(QStringView raw);

} // namespace tavlin
