#include "ZelvorApp/Memory/ClipboardTextClassifier.h"

#include "ZelvorCore/Models/VisualMemoryText.h"

#include <algorithm>
#include <array>

namespace brisklet {

namespace {

namespace text = memorytext;

constexpr std::array<std::string_view, 15> codeKeywords{
    "import ", "function ", "class ", "struct ", "enum ",      "const ",  "let ",     "var ",
    "return ", "select ",   "from ",  "where ",  "interface ", "public ", "private ",
};
constexpr std::string_view codePunctuation = "{}[]();=<>";

constexpr std::array<std::string_view, 11> sensitiveMarkers{
    "password",     "passwd",        "api_key", "apikey",     "secret", "private key",
    "access_token", "refresh_token", "bearer ", "-----begin", "sk-",
};

std::vector<std::string_view> lines(std::string_view value) {
    std::vector<std::string_view> result;
    std::size_t start = 0;
    while (true) {
        const auto end = value.find('\n', start);
        result.push_back(value.substr(start, end - start));
        if (end == std::string_view::npos) {
            return result;
        }
        start = end + 1;
    }
}

bool isTokenCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("-_./+=").find(c) != std::string_view::npos;
}

} // namespace

std::optional<WebAddress> ClipboardTextClassifier::primaryURL(std::string_view value) {
    const std::string trimmed = text::trimmed(value);
    if (auto whole = WebAddress::parse(trimmed); whole && !whole->scheme.empty()) {
        return whole;
    }
    return TextLinkDetector::firstLink(value);
}

bool ClipboardTextClassifier::looksLikeCode(std::string_view value) {
    const std::string lower = text::lowercased(value);
    if (std::any_of(codeKeywords.begin(), codeKeywords.end(),
                    [&](std::string_view keyword) { return text::contains(lower, keyword); })) {
        return true;
    }
    const auto all = lines(value);
    const auto nonBlank =
        std::count_if(all.begin(), all.end(), [](std::string_view line) { return !text::trimmed(line).empty(); });
    if (nonBlank >= 2) {
        const auto punctuation = std::count_if(
            value.begin(), value.end(), [](char c) { return codePunctuation.find(c) != std::string_view::npos; });
        if (punctuation > 2) {
            return true;
        }
    }
    const std::string trimmed = text::trimmed(value);
    return (text::startsWith(trimmed, "{") && text::endsWith(trimmed, "}")) ||
           (text::startsWith(trimmed, "[") && text::endsWith(trimmed, "]"));
}

ClipboardContentKind ClipboardTextClassifier::classify(std::string_view value) {
    const std::string trimmed = text::trimmed(value);
    if (trimmed.empty()) {
        return ClipboardContentKind::plainText;
    }
    const auto codeOrPlain = [&] {
        return looksLikeCode(trimmed) ? ClipboardContentKind::codeSnippet : ClipboardContentKind::plainText;
    };
    if (!primaryURL(trimmed)) {
        return codeOrPlain();
    }
    return text::splitOnWhitespace(trimmed).size() >= 3 ? codeOrPlain() : ClipboardContentKind::link;
}

bool looksSensitiveClipboardText(std::string_view value) {
    const std::string trimmed = text::trimmed(value);
    if (trimmed.empty()) {
        return false;
    }
    const std::string lower = text::lowercased(trimmed);
    if (std::any_of(sensitiveMarkers.begin(), sensitiveMarkers.end(),
                    [&](std::string_view marker) { return text::contains(lower, marker); })) {
        return true;
    }
    const auto pieces = text::splitOnWhitespace(trimmed);
    std::string compact;
    for (const auto& piece : pieces) {
        compact += piece;
    }
    // Keys and hashes are ASCII; long CJK sentences without spaces must not look like tokens.
    if (compact.size() >= 48 && std::all_of(compact.begin(), compact.end(), isTokenCharacter)) {
        return pieces.size() < 3;
    }
    return false;
}

} // namespace brisklet
