#include "ZelvorCore/Models/HotkeyConfiguration.h"

#include "ZelvorCore/Foundation/JsonCoding.h"

#include <algorithm>
#include <cctype>

namespace brisklet {

std::string HotkeyModifiers::displayValue() const {
    std::string text;
    if (contains(control)) {
        text += "\u2303";
    }
    if (contains(option)) {
        text += "\u2325";
    }
    if (contains(shift)) {
        text += "\u21E7";
    }
    if (contains(command)) {
        text += "\u2318";
    }
    return text;
}

std::string HotkeyConfiguration::displayValue() const {
    const auto isSpace = [](unsigned char c) { return std::isspace(c) != 0; };
    auto begin = std::find_if_not(key.begin(), key.end(), isSpace);
    auto end = std::find_if_not(key.rbegin(), std::make_reverse_iterator(begin), isSpace).base();
    std::string trimmed(begin, end);
    std::transform(trimmed.begin(), trimmed.end(), trimmed.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return modifiers.displayValue() + trimmed;
}

void read(const Json& j, HotkeyConfiguration& out) {
    json::requireObject(j);
    json::field(j, "key", out.key);
    json::field(j, "modifiers", out.modifiers.rawValue);
}

Json write(const HotkeyConfiguration& value) {
    Json j = Json::object();
    json::put(j, "key", value.key);
    json::put(j, "modifiers", value.modifiers.rawValue);
    return j;
}

} // namespace brisklet
