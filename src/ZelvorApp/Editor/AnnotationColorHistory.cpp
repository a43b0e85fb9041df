#include "ZelvorApp/Editor/AnnotationColorHistory.h"

#include "ZelvorApp/Editor/BackgroundColorPickerLogic.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace brisklet::AnnotationColorHistory {

namespace {

std::set<std::string> hexesOf(std::span<const StoredColor> colors) {
    std::set<std::string> hexes;
    for (const auto& color : colors) {
        hexes.insert(BackgroundColorPickerLogic::hexString(color));
    }
    return hexes;
}

} // namespace

std::optional<std::string> normalizedHex(std::string_view text) {
    const auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    if (!text.empty() && text.front() == '#') {
        text.remove_prefix(1);
    }
    if (text.size() != 6) {
        return std::nullopt;
    }
    std::string result = "#";
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return std::nullopt;
        }
        result.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    return result;
}

std::vector<std::string> updatedRecentHexes(std::span<const std::string> current, const StoredColor& adding,
                                            std::span<const StoredColor> fixedColors) {
    const std::string added = BackgroundColorPickerLogic::hexString(adding);
    const auto fixed = hexesOf(fixedColors);
    std::vector<std::string> result;
    if (!fixed.contains(added)) {
        result.push_back(added);
    }
    for (const auto& entry : current) {
        const auto hex = normalizedHex(entry);
        if (hex && *hex != added && !fixed.contains(*hex) &&
            std::find(result.begin(), result.end(), *hex) == result.end()) {
            result.push_back(*hex);
        }
    }
    if (result.size() > capacity) {
        result.resize(capacity);
    }
    return result;
}

std::vector<StoredColor> recentColors(std::span<const std::string> hexes, std::span<const StoredColor> fixedColors) {
    const auto fixed = hexesOf(fixedColors);
    std::vector<StoredColor> colors;
    for (const auto& entry : hexes) {
        const auto hex = normalizedHex(entry);
        if (!hex || fixed.contains(*hex)) {
            continue;
        }
        if (const auto color = BackgroundColorPickerLogic::colorFromHex(*hex)) {
            colors.push_back(*color);
        }
    }
    return colors;
}

} // namespace brisklet::AnnotationColorHistory
