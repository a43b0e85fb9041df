#include "ZelvorCore/Foundation/Uuid.h"

#include "ZelvorCore/Foundation/Hex.h"

#include <random>
#include <sys/random.h>

namespace brisklet {

namespace {

void fillRandom(std::uint8_t* out, std::size_t count) {
    std::size_t filled = 0;
    while (filled < count) {
        const ssize_t n = getrandom(out + filled, count - filled, 0);
        if (n <= 0) {
            break;
        }
        filled += static_cast<std::size_t>(n);
    }
    if (filled < count) {
        // getrandom can only fail on ancient kernels; fall back to the library's generator.
        std::random_device device;
        for (std::size_t i = filled; i < count; ++i) {
            out[i] = static_cast<std::uint8_t>(device());
        }
    }
}


} // namespace

Uuid Uuid::generate() {
    Uuid uuid;
    fillRandom(uuid.bytes_.data(), uuid.bytes_.size());
    uuid.bytes_[6] = static_cast<std::uint8_t>((uuid.bytes_[6] & 0x0F) | 0x40);
    uuid.bytes_[8] = static_cast<std::uint8_t>((uuid.bytes_[8] & 0x3F) | 0x80);
    return uuid;
}

std::optional<Uuid> Uuid::parse(std::string_view text) {
    if (text.size() != 36) {
        return std::nullopt;
    }
    Uuid uuid;
    std::size_t byte = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text[i] != '-') {
                return std::nullopt;
            }
            ++i;
            continue;
        }
        const int hi = hexDigitValue(text[i]);
        const int lo = hexDigitValue(text[i + 1]);
        if (hi < 0 || lo < 0) {
            return std::nullopt;
        }
        uuid.bytes_[byte++] = static_cast<std::uint8_t>(hi * 16 + lo);
        i += 2;
    }
    return uuid;
}

std::string Uuid::toString() const {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(36);
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            text.push_back('-');
        }
        text.push_back(digits[bytes_[i] >> 4]);
        text.push_back(digits[bytes_[i] & 0x0F]);
    }
    return text;
}

} // namespace brisklet
