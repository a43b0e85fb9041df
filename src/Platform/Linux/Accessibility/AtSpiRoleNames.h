#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace brisklet {

/// The name AT-SPI gives a role number ("push button", "password text"), or nothing for a number
/// newer than this table. Read from the number rather than asked for: one call less per element,
/// and toolkits spell some names their own way (Qt calls a password field "text").
std::optional<std::string_view> atSpiRoleName(std::uint32_t role);

} // namespace brisklet
