#include "ZelvorApp/Editor/BackgroundColorPickerLogic.h"

#include "ZelvorApp/Editor/AnnotationColors.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace brisklet::BackgroundColorPickerLogic {

namespace {

bool isWhitespace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

std::optional<StoredColor> colorFromHex(std::string_view text) {
    while (!text.empty() && isWhitespace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isWhitespace(text.back())) {
        text.remove_suffix(1);
    }
    std::string digits;
    for (char c : text) {
        if (c != '#') {
            digits.push_back(c);
        }
    }
    if (digits.size() != 6) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (char c : digits) {
        const int digit = hexDigit(c);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return StoredColor{((value >> 16) & 0xFF) / 255.0, ((value >> 8) & 0xFF) / 255.0, (value & 0xFF) / 255.0, 1};
}

std::string hexString(const StoredColor& color) {
    const StoredColor c = AnnotationColors::safeRGBAComponents(color);
    const auto byte = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", byte(c.red), byte(c.green), byte(c.blue));
    return buffer;
}

HSBComponents hsbComponents(const StoredColor& color) {
    const StoredColor c = AnnotationColors::safeRGBAComponents(color);
    const double maximum = std::max({c.red, c.green, c.blue});
    const double minimum = std::min({c.red, c.green, c.blue});
    const double chroma = maximum - minimum;
    HSBComponents hsb;
    hsb.brightness = maximum;
    hsb.saturation = maximum > 0 ? chroma / maximum : 0;
    if (chroma > 0) {
        double hue = 0;
        if (maximum == c.red) {
            hue = std::fmod((c.green - c.blue) / chroma, 6.0);
        } else if (maximum == c.green) {
            hue = (c.blue - c.red) / chroma + 2;
        } else {
            hue = (c.red - c.green) / chroma + 4;
        }
        hue /= 6;
        hsb.hue = hue < 0 ? hue + 1 : hue;
    }
    return hsb;
}

} // namespace brisklet::BackgroundColorPickerLogic
