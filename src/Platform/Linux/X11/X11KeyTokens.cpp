#include "Platform/Linux/X11/X11KeyTokens.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <array>
#include <utility>

namespace brisklet {

namespace {

constexpr std::array<std::pair<std::string_view, std::uint32_t>, 23> namedKeys{{
    {"-", XK_minus},          {"=", XK_equal},           {"[", XK_bracketleft},  {"]", XK_bracketright},
    {";", XK_semicolon},      {"'", XK_apostrophe},      {",", XK_comma},        {".", XK_period},
    {"/", XK_slash},          {"\\", XK_backslash},      {"`", XK_grave},        {"SPACE", XK_space},
    {"TAB", XK_Tab},          {"RETURN", XK_Return},     {"ENTER", XK_Return},   {"DELETE", XK_BackSpace},
    {"FORWARD_DELETE", XK_Delete}, {"ESC", XK_Escape},   {"UP", XK_Up},          {"DOWN", XK_Down},
    {"LEFT", XK_Left},        {"RIGHT", XK_Right},       {"PRINT", XK_Print},
}};

constexpr std::array<std::pair<std::uint32_t, std::string_view>, 4> topRowSpecials{{
    {XF86XK_MonBrightnessDown, "F1"},
    {XF86XK_MonBrightnessUp, "F2"},
    {XF86XK_LaunchA, "F3"},
    {XF86XK_LaunchB, "F4"},
}};

} // namespace

std::optional<std::uint32_t> X11KeyTokens::keysym(std::string_view token) {
    if (token.size() == 1 && token[0] >= 'A' && token[0] <= 'Z') {
        return static_cast<std::uint32_t>(XK_a + (token[0] - 'A'));
    }
    if (token.size() == 1 && token[0] >= '0' && token[0] <= '9') {
        return static_cast<std::uint32_t>(XK_0 + (token[0] - '0'));
    }
    if (token.size() >= 2 && token[0] == 'F') {
        int number = 0;
        for (char c : token.substr(1)) {
            if (c < '0' || c > '9') {
                number = 0;
                break;
            }
            number = number * 10 + (c - '0');
        }
        if (number >= 1 && number <= 20) {
            return static_cast<std::uint32_t>(XK_F1 + (number - 1));
        }
    }
    for (const auto& [name, sym] : namedKeys) {
        if (name == token) {
            return sym;
        }
    }
    return std::nullopt;
}

std::optional<std::string> X11KeyTokens::token(std::uint32_t sym) {
    if (sym >= XK_a && sym <= XK_z) {
        return std::string(1, static_cast<char>('A' + (sym - XK_a)));
    }
    if (sym >= XK_A && sym <= XK_Z) {
        return std::string(1, static_cast<char>('A' + (sym - XK_A)));
    }
    if (sym >= XK_0 && sym <= XK_9) {
        return std::string(1, static_cast<char>('0' + (sym - XK_0)));
    }
    if (sym >= XK_F1 && sym <= XK_F20) {
        return "F" + std::to_string(sym - XK_F1 + 1);
    }
    for (const auto& [special, name] : topRowSpecials) {
        if (special == sym) {
            return std::string(name);
        }
    }
    // The first name wins, so Return reads back as "RETURN".
    for (const auto& [name, named] : namedKeys) {
        if (named == sym) {
            return std::string(name);
        }
    }
    return std::nullopt;
}

bool X11KeyTokens::isModifierKeysym(std::uint32_t sym) {
    return (sym >= XK_Shift_L && sym <= XK_Hyper_R) || sym == XK_ISO_Level3_Shift || sym == XK_ISO_Level5_Shift ||
           sym == XK_Mode_switch || sym == XK_Num_Lock;
}

} // namespace brisklet
