#include "ZelvorCore/Foundation/Utf8.h"

namespace brisklet::utf8 {

namespace {

constexpr char32_t replacementCharacter = 0xFFFD;

// Length of the UTF-8 sequence starting with `lead`, or 0 when `lead` cannot start one.
int sequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

} // namespace

char32_t nextScalar(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const int length = sequenceLength(lead);
    if (length == 1) {
        ++pos;
        return lead;
    }
    if (length == 0 || pos + static_cast<std::size_t>(length) > text.size()) {
        ++pos;
        return replacementCharacter;
    }
    char32_t scalar = lead & (0xFF >> (length + 1));
    for (int i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[pos + static_cast<std::size_t>(i)]);
        if ((byte & 0xC0) != 0x80) {
            ++pos;
            return replacementCharacter;
        }
        scalar = (scalar << 6) | (byte & 0x3F);
    }
    const bool overlong = (length == 3 && scalar < 0x800) || (length == 4 && scalar < 0x10000);
    if (overlong || scalar > 0x10FFFF || (scalar >= 0xD800 && scalar <= 0xDFFF)) {
        ++pos;
        return replacementCharacter;
    }
    pos += static_cast<std::size_t>(length);
    return scalar;
}

std::u32string decodeUtf8(std::string_view text) {
    std::u32string scalars;
    scalars.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        scalars.push_back(nextScalar(text, pos));
    }
    return scalars;
}

void appendUtf8(std::string& out, char32_t s) {
    if (s < 0x80) {
        out.push_back(static_cast<char>(s));
    } else if (s < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (s >> 6)));
        out.push_back(static_cast<char>(0x80 | (s & 0x3F)));
    } else if (s < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (s >> 12)));
        out.push_back(static_cast<char>(0x80 | ((s >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (s & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (s >> 18)));
        out.push_back(static_cast<char>(0x80 | ((s >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((s >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (s & 0x3F)));
    }
}

std::string encodeUtf8(std::u32string_view scalars) {
    std::string out;
    out.reserve(scalars.size());
    for (const char32_t s : scalars) {
        appendUtf8(out, s);
    }
    return out;
}

} // namespace brisklet::utf8
