#pragma once

#include <QCoreApplication>
#include <QLatin1StringView>
#include <QString>
#include <QStringView>

#include <array>
#include <iterator>
#include <optional>
#include <utility>

namespace tavlin {

// One case of an enumeration with a stored string form: its raw string, stored exactly and read
// back case-sensitive, and where the interface names the case, its English title (translated in
// the "Tavlin" context; mark it with QT_TRANSLATE_NOOP so that the translation tools see it).
template <class E>
struct EnumCase {
    E value;
    const char* raw;
    const char* title = nullptr;
};

// Each such enumeration specialises this with `static constexpr EnumCase<E> cases[]`, listing
// every case once, in the order the interface shows them.
template <class E>
struct EnumCases;

// Every case, in table order.
template <class E>
constexpr auto enumValues()
{
    constexpr auto& cases = EnumCases<E>::cases;
    return [&]<std::size_t... I>(std::index_sequence<I...>)
    {
        return std::array<E, sizeof...(I)>{cases[I].value...};
    }
    (std::make_index_sequence<std::size(cases)>());
}

template <class E>
QString toRaw(E value)
{
    for (const EnumCase<E>& entry : EnumCases<E>::cases) {
        if (entry.value == value)
            return QString::fromLatin1(entry.raw);
    }
    return {};
}

// Exactly one of the raw strings; nothing for any other text.
template <class E>
std::optional<E> fromRaw(QStringView raw)
{
    for (const EnumCase<E>& entry : EnumCases<E>::cases) {
        if (raw == QLatin1StringView(entry.raw))
            return entry.value;
    }
    return std::nullopt;
}

// The localized title; empty for a case without one.
template <class E>
QString title(E value)
{
    for (const EnumCase<E>& entry : EnumCases<E>::cases) {
        if (entry.value == value && entry.title)
            return QCoreApplication::translate("Tavlin", entry.title);
    }
    return {};
}

} // namespace tavlin
