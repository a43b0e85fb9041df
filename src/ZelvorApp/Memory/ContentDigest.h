#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace brisklet {

/// 64-bit FNV-1a of `bytes`.
std::uint64_t fnv1a64(std::string_view bytes);
/// The FNV-1a digest as 16 lower-case hexadecimal digits; names copied content on disk, so the
/// same content always lands in the same file.
std::string fnv1a64Hex(std::string_view bytes);

} // namespace brisklet
