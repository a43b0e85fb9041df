#include "Platform/Linux/Codec/ImageHeaderReader.h"

#include <cstdint>

namespace brisklet {

namespace {

std::uint32_t be16(std::string_view s, std::size_t at) {
    return (static_cast<std::uint8_t>(s[at]) << 8) | static_cast<std::uint8_t>(s[at + 1]);
}
std::uint32_t be32(std::string_view s, std::size_t at) {
    return (be16(s, at) << 16) | be16(s, at + 2);
}
std::uint32_t le16(std::string_view s, std::size_t at) {
    return static_cast<std::uint8_t>(s[at]) | (static_cast<std::uint8_t>(s[at + 1]) << 8);
}
std::uint32_t le24(std::string_view s, std::size_t at) {
    return le16(s, at) | (static_cast<std::uint8_t>(s[at + 2]) << 16);
}

std::optional<PixelSize> sized(std::uint32_t w, std::uint32_t h) {
    if (w == 0 || h == 0 || w > 0x7FFFFFFF || h > 0x7FFFFFFF) {
        return std::nullopt;
    }
    return PixelSize{static_cast<int>(w), static_cast<int>(h)};
}

std::optional<PixelSize> jpegSize(std::string_view s) {
    std::size_t i = 2;
    while (i + 9 < s.size()) {
        if (static_cast<std::uint8_t>(s[i]) != 0xFF) {
            return std::nullopt;
        }
        const std::uint8_t marker = static_cast<std::uint8_t>(s[i + 1]);
        if (marker == 0xFF) {
            ++i; // fill byte
            continue;
        }
        const bool isStartOfFrame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (isStartOfFrame) {
            return sized(be16(s, i + 7), be16(s, i + 5));
        }
        i += 2 + be16(s, i + 2);
    }
    return std::nullopt;
}

std::optional<PixelSize> webpSize(std::string_view s) {
    if (s.size() < 30) {
        return std::nullopt;
    }
    const std::string_view chunk = s.substr(12, 4);
    if (chunk == "VP8 ") {
        return sized(le16(s, 26) & 0x3FFF, le16(s, 28) & 0x3FFF);
    }
    if (chunk == "VP8L") {
        const std::uint32_t bits = static_cast<std::uint8_t>(s[21]) | (static_cast<std::uint8_t>(s[22]) << 8) |
                                   (static_cast<std::uint8_t>(s[23]) << 16) |
                                   (static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[24])) << 24);
        return sized((bits & 0x3FFF) + 1, ((bits >> 14) & 0x3FFF) + 1);
    }
    if (chunk == "VP8X") {
        return sized(le24(s, 24) + 1, le24(s, 27) + 1);
    }
    return std::nullopt;
}

} // namespace

std::optional<PixelSize> readPixelSizeFromHeader(std::string_view s) {
    if (s.size() >= 24 && s.substr(0, 8) == "\x89PNG\r\n\x1a\n" && s.substr(12, 4) == "IHDR") {
        return sized(be32(s, 16), be32(s, 20));
    }
    if (s.size() >= 4 && static_cast<std::uint8_t>(s[0]) == 0xFF && static_cast<std::uint8_t>(s[1]) == 0xD8) {
        return jpegSize(s);
    }
    if (s.size() >= 10 && (s.substr(0, 6) == "GIF87a" || s.substr(0, 6) == "GIF89a")) {
        return sized(le16(s, 6), le16(s, 8));
    }
    if (s.size() >= 16 && s.substr(0, 4) == "RIFF" && s.substr(8, 4) == "WEBP") {
        return webpSize(s);
    }
    return std::nullopt;
}

} // namespace brisklet
