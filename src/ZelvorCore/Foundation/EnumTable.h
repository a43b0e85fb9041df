#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace brisklet {

/// Specialise with `static constexpr std::array<std::pair<E, std::string_view>, N> names` listing
/// every case in declaration order with its raw value; the helpers below then give string coding
/// and the list of cases.
template <class E> struct EnumTraits;

template <class E>
concept RawValueEnum = requires {
    EnumTraits<E>::names;
};

template <RawValueEnum E> constexpr std::string_view toString(E value) {
    for (const auto& [candidate, name] : EnumTraits<E>::names) {
        if (candidate == value) {
            return name;
        }
    }
    return {};
}

template <RawValueEnum E> constexpr std::optional<E> enumFromString(std::string_view text) {
    for (const auto& [candidate, name] : EnumTraits<E>::names) {
        if (name == text) {
            return candidate;
        }
    }
    return std::nullopt;
}

template <RawValueEnum E> std::vector<E> allCases() {
    std::vector<E> cases;
    for (const auto& entry : EnumTraits<E>::names) {
        cases.push_back(entry.first);
    }
    return cases;
}

} // namespace brisklet
