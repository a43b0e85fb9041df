#include "ZelvorCore/Models/VisualMemoryText.h"

#include <algorithm>

namespace brisklet::memorytext {

namespace {

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Scalars that never start a character of their own.
bool extendsPreviousCharacter(char32_t s) {
    return (s >= 0x0300 && s <= 0x036F) || (s >= 0x0483 && s <= 0x0489) || (s >= 0x0591 && s <= 0x05BD) ||
           (s >= 0x0610 && s <= 0x061A) || (s >= 0x064B && s <= 0x065F) || s == 0x0E31 ||
           (s >= 0x0E34 && s <= 0x0E3A) || (s >= 0x0E47 && s <= 0x0E4E) || (s >= 0x1AB0 && s <= 0x1AFF) ||
           (s >= 0x1DC0 && s <= 0x1DFF) || s == 0x200D || (s >= 0x20D0 && s <= 0x20FF) ||
           (s >= 0x3099 && s <= 0x309A) || (s >= 0xFE00 && s <= 0xFE0F) || (s >= 0xFE20 && s <= 0xFE2F) ||
           (s >= 0x1F3FB && s <= 0x1F3FF) || (s >= 0xE0020 && s <= 0xE007F) || (s >= 0xE0100 && s <= 0xE01EF);
}

bool isRegionalIndicator(char32_t s) {
    return s >= 0x1F1E6 && s <= 0x1F1FF;
}

// Byte offsets where each user-perceived character starts, plus the end offset.
template <class Visit> void forEachCharacterBoundary(std::string_view text, Visit visit) {
    std::size_t pos = 0;
    char32_t previous = 0;
    bool pairedIndicator = false;
    while (pos < text.size()) {
        const std::size_t start = pos;
        const char32_t scalar = nextScalar(text, pos);
        bool startsCharacter = true;
        if (start != 0) {
            startsCharacter = previous != 0x200D && !extendsPreviousCharacter(scalar);
        }
        if (startsCharacter && isRegionalIndicator(scalar) && isRegionalIndicator(previous) && !pairedIndicator) {
            startsCharacter = false;
            pairedIndicator = true;
        } else if (startsCharacter) {
            pairedIndicator = false;
        }
        if (startsCharacter && !visit(start)) {
            return;
        }
        previous = scalar;
    }
    visit(text.size());
}

} // namespace

bool isWhitespaceOrNewline(char32_t s) {
    return (s >= 0x09 && s <= 0x0D) || s == 0x20 || s == 0x85 || s == 0xA0 || s == 0x1680 ||
           (s >= 0x2000 && s <= 0x200A) || s == 0x2028 || s == 0x2029 || s == 0x202F || s == 0x205F || s == 0x3000;
}

bool isCJK(char32_t s) {
    return (s >= 0x3040 && s <= 0x30FF) || (s >= 0x3400 && s <= 0x9FFF) || (s >= 0xF900 && s <= 0xFAFF);
}

bool containsCJK(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (isCJK(nextScalar(text, pos))) {
            return true;
        }
    }
    return false;
}

std::string trimmed(std::string_view text) {
    std::size_t begin = text.size();
    std::size_t end = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = pos;
        if (!isWhitespaceOrNewline(nextScalar(text, pos))) {
            begin = std::min(begin, start);
            end = pos;
        }
    }
    return begin < end ? std::string(text.substr(begin, end - begin)) : std::string();
}

std::vector<std::string> splitOnWhitespace(std::string_view text) {
    std::vector<std::string> pieces;
    std::string current;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = pos;
        if (isWhitespaceOrNewline(nextScalar(text, pos))) {
            if (!current.empty()) {
                pieces.push_back(std::move(current));
                current.clear();
            }
        } else {
            current.append(text.substr(start, pos - start));
        }
    }
    if (!current.empty()) {
        pieces.push_back(std::move(current));
    }
    return pieces;
}

std::string normalizedText(std::string_view text) {
    std::string joined;
    for (const auto& piece : splitOnWhitespace(text)) {
        if (!joined.empty()) {
            joined.push_back(' ');
        }
        joined += piece;
    }
    return joined;
}

char32_t lowercasedScalar(char32_t s) {
    if (s < 0x80) {
        return s >= 'A' && s <= 'Z' ? s + 0x20 : s;
    }
    if ((s >= 0xC0 && s <= 0xDE && s != 0xD7)) {
        return s + 0x20;
    }
    if (s >= 0x100 && s <= 0x17F) {
        if (s == 0x130) {
            // Dotted capital I lower-cases to "i" plus a combining dot, never to a plain ASCII
            // "i"; keeping it apart means no non-ASCII letter ever folds into ASCII.
            return s;
        }
        if (s == 0x178) {
            return 0xFF;
        }
        if ((s >= 0x139 && s <= 0x148) || (s >= 0x179 && s <= 0x17E)) {
            return s % 2 == 1 ? s + 1 : s;
        }
        if (s == 0x138 || s == 0x149 || s == 0x17F) {
            return s;
        }
        return s % 2 == 0 ? s + 1 : s;
    }
    if (s >= 0x391 && s <= 0x3AB && s != 0x3A2) {
        return s + 0x20;
    }
    if (s == 0x386) {
        return 0x3AC;
    }
    if (s >= 0x388 && s <= 0x38A) {
        return s + 0x25;
    }
    if (s >= 0x400 && s <= 0x40F) {
        return s + 0x50;
    }
    if (s >= 0x410 && s <= 0x42F) {
        return s + 0x20;
    }
    if (s >= 0x460 && s <= 0x4FF && s != 0x482 && !(s >= 0x483 && s <= 0x489)) {
        if (s >= 0x4C1 && s <= 0x4CE) {
            return s % 2 == 1 ? s + 1 : s;
        }
        return s % 2 == 0 && s != 0x4C0 ? s + 1 : s;
    }
    if (s >= 0x531 && s <= 0x556) {
        return s + 0x30;
    }
    if (s >= 0x1E00 && s <= 0x1EFF && s != 0x1E9E) {
        return s % 2 == 0 && !(s >= 0x1E96 && s <= 0x1E9F) ? s + 1 : s;
    }
    if (s >= 0xFF21 && s <= 0xFF3A) {
        return s + 0x20;
    }
    return s;
}

void lowercaseInto(std::string_view text, std::string& out) {
    out.clear();
    if (isAscii(text)) {
        out.resize(text.size());
        std::transform(text.begin(), text.end(), out.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; });
        return;
    }
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            out.push_back(byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte + 0x20) : static_cast<char>(byte));
            ++pos;
            continue;
        }
        appendUtf8(out, lowercasedScalar(nextScalar(text, pos)));
    }
}

std::string lowercased(std::string_view text) {
    std::string out;
    lowercaseInto(text, out);
    return out;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (isAscii(a) && isAscii(b)) {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return lowercasedScalar(static_cast<unsigned char>(x)) ==
                          lowercasedScalar(static_cast<unsigned char>(y));
               });
    }
    return lowercased(a) == lowercased(b);
}

bool lessIgnoringCase(std::string_view a, std::string_view b) {
    const std::string la = lowercased(a);
    const std::string lb = lowercased(b);
    return la != lb ? la < lb : a < b;
}

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    forEachCharacterBoundary(text, [&](std::size_t) {
        ++count;
        return true;
    });
    return count == 0 ? 0 : count - 1;
}

std::string prefixCharacters(std::string_view text, std::size_t count) {
    std::size_t seen = 0;
    std::size_t cut = text.size();
    forEachCharacterBoundary(text, [&](std::size_t offset) {
        if (seen == count) {
            cut = offset;
            return false;
        }
        ++seen;
        return true;
    });
    return std::string(text.substr(0, cut));
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::string replacingAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) {
        return std::string(text);
    }
    std::string out;
    std::size_t pos = 0;
    while (true) {
        const std::size_t hit = text.find(from, pos);
        if (hit == std::string_view::npos) {
            out.append(text.substr(pos));
            return out;
        }
        out.append(text.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
}

} // namespace brisklet::memorytext
