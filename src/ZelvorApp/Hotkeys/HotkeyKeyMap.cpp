#include "ZelvorApp/Hotkeys/HotkeyKeyMap.h"

#include "ZelvorCore/Foundation/Utf8.h"

#include <algorithm>
#include <array>
#include <utility>

namespace brisklet {

namespace {

struct KeyRow {
    std::string_view token;
    int keyCode; // -1: not on the US-ANSI keyboard
};

// US-ANSI virtual key codes. "RETURN" and "ENTER" both name the main Return key.
constexpr std::array<KeyRow, 79> keyRows{{
    {"A", 0},          {"S", 1},       {"D", 2},       {"F", 3},        {"H", 4},       {"G", 5},
    {"Z", 6},          {"X", 7},       {"C", 8},       {"V", 9},        {"B", 11},      {"Q", 12},
    {"W", 13},         {"E", 14},      {"R", 15},      {"Y", 16},       {"T", 17},      {"1", 18},
    {"2", 19},         {"3", 20},      {"4", 21},      {"6", 22},       {"5", 23},      {"=", 24},
    {"9", 25},         {"7", 26},      {"-", 27},      {"8", 28},       {"0", 29},      {"]", 30},
    {"O", 31},         {"U", 32},      {"[", 33},      {"I", 34},       {"P", 35},      {"RETURN", 36},
    {"L", 37},         {"J", 38},      {"'", 39},      {"K", 40},       {";", 41},      {"\\", 42},
    {",", 43},         {"/", 44},      {"N", 45},      {"M", 46},       {".", 47},      {"TAB", 48},
    {"SPACE", 49},     {"`", 50},      {"DELETE", 51}, {"ESC", 53},     {"F17", 64},    {"F18", 79},
    {"F19", 80},       {"F20", 90},    {"F5", 96},     {"F6", 97},      {"F7", 98},     {"F3", 99},
    {"F8", 100},       {"F9", 101},    {"F11", 103},   {"F13", 105},    {"F16", 106},   {"F14", 107},
    {"F10", 109},      {"F12", 111},   {"F15", 113},   {"FORWARD_DELETE", 117},        {"F4", 118},
    {"F2", 120},       {"F1", 122},    {"LEFT", 123},  {"RIGHT", 124},  {"DOWN", 125},  {"UP", 126},
    {"ENTER", 36},     {"PRINT", -1},
}};

static_assert(std::all_of(keyRows.begin(), keyRows.end(), [](const KeyRow& row) { return !row.token.empty(); }),
              "every row of the key table is filled in");

// The top row's special functions (brightness, mission control, launchpad) stand for F1–F4.
constexpr std::array<std::pair<int, std::string_view>, 4> mediaRow{{{145, "F1"}, {144, "F2"}, {160, "F3"}, {131, "F4"}}};

const KeyRow* findRow(std::string_view token) {
    const auto it = std::find_if(keyRows.begin(), keyRows.end(), [&](const KeyRow& row) { return row.token == token; });
    return it == keyRows.end() ? nullptr : &*it;
}

/// The one Unicode scalar `characters` encodes in UTF-8, if it is exactly one.
std::optional<char32_t> singleScalar(std::string_view characters) {
    const std::u32string scalars = utf8::decodeUtf8(characters);
    if (scalars.size() != 1) {
        return std::nullopt;
    }
    return scalars[0];
}

} // namespace

const std::vector<std::string>& HotkeyKeyMap::tokens() {
    static const std::vector<std::string> all = [] {
        std::vector<std::string> list;
        for (char c = 'A'; c <= 'Z'; ++c) {
            list.emplace_back(1, c);
        }
        for (char c = '0'; c <= '9'; ++c) {
            list.emplace_back(1, c);
        }
        for (const auto* t : {"-", "=", "[", "]", ";", "'", ",", ".", "/", "\\", "`", "SPACE", "TAB", "RETURN", "ENTER",
                              "DELETE", "FORWARD_DELETE", "ESC", "UP", "DOWN", "LEFT", "RIGHT"}) {
            list.emplace_back(t);
        }
        for (int n = 1; n <= 20; ++n) {
            list.push_back("F" + std::to_string(n));
        }
        list.emplace_back("PRINT");
        return list;
    }();
    return all;
}

bool HotkeyKeyMap::isKnownToken(std::string_view token) {
    return findRow(token) != nullptr;
}

std::optional<int> HotkeyKeyMap::keyCode(std::string_view token) {
    const KeyRow* row = findRow(token);
    if (!row || row->keyCode < 0) {
        return std::nullopt;
    }
    return row->keyCode;
}

std::optional<std::string> HotkeyKeyMap::keyCodeToToken(int keyCode) {
    for (const auto& [code, token] : mediaRow) {
        if (code == keyCode) {
            return std::string(token);
        }
    }
    // The first row with the code wins, so 36 reads back as "RETURN", not "ENTER".
    for (const KeyRow& row : keyRows) {
        if (row.keyCode == keyCode) {
            return std::string(row.token);
        }
    }
    return std::nullopt;
}

const std::vector<std::string>& HotkeyKeyMap::recordableFunctionTokens() {
    static const std::vector<std::string> functionTokens = [] {
        std::vector<std::string> list;
        for (int n = 1; n <= 20; ++n) {
            list.push_back("F" + std::to_string(n));
        }
        return list;
    }();
    return functionTokens;
}

std::optional<std::string> HotkeyKeyMap::normalizeToken(std::string_view characters) {
    // Only the characters themselves are upper-cased: " p " is not a token, "p" is.
    std::string upper;
    for (char c : characters) {
        upper.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    }
    if (!upper.empty() && isKnownToken(upper)) {
        return upper;
    }
    const auto scalar = singleScalar(characters);
    if (!scalar) {
        return std::nullopt;
    }
    if (*scalar >= 0xF704 && *scalar <= 0xF717) {
        return "F" + std::to_string(static_cast<int>(*scalar - 0xF704) + 1);
    }
    switch (*scalar) {
    case 0x7F:
        return "DELETE";
    case '\r':
    case '\n':
        return "RETURN";
    case 0x1B:
        return "ESC";
    case '\t':
        return "TAB";
    case ' ':
        return "SPACE";
    default:
        return std::nullopt;
    }
}

} // namespace brisklet
