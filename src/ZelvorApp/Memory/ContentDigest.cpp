#include "ZelvorApp/Memory/ContentDigest.h"

namespace brisklet {

std::uint64_t fnv1a64(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

std::string fnv1a64Hex(std::string_view bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::uint64_t hash = fnv1a64(bytes);
    std::string hex(16, '0');
    for (int i = 15; i >= 0; --i) {
        hex[static_cast<std::size_t>(i)] = digits[hash & 0xF];
        hash >>= 4;
    }
    return hex;
}

} // namespace brisklet
