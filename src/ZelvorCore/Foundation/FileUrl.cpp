#include "ZelvorCore/Foundation/FileUrl.h"

#include "ZelvorCore/Foundation/Hex.h"

namespace brisklet {

namespace {

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~' || c == '/' || c == '!' || c == '$' || c == '&' || c == '\'' || c == '(' || c == ')' ||
           c == '*' || c == '+' || c == ',' || c == ';' || c == '=' || c == ':' || c == '@';
}


std::optional<std::string> percentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size()) {
            return std::nullopt;
        }
        const int hi = hexDigitValue(text[i + 1]);
        const int lo = hexDigitValue(text[i + 2]);
        if (hi < 0 || lo < 0) {
            return std::nullopt;
        }
        out.push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
    }
    return out;
}

} // namespace

std::string fileURLString(const std::filesystem::path& path) {
    static constexpr char digits[] = "0123456789ABCDEF";
    const std::string absolute = std::filesystem::absolute(path).lexically_normal().string();
    std::string url = "file://";
    for (const unsigned char c : absolute) {
        if (isUnreserved(c)) {
            url.push_back(static_cast<char>(c));
        } else {
            url.push_back('%');
            url.push_back(digits[c >> 4]);
            url.push_back(digits[c & 0x0F]);
        }
    }
    return url;
}

std::optional<std::filesystem::path> pathFromFileURL(std::string_view url) {
    if (!url.empty() && url.front() == '/') {
        return std::filesystem::path(std::string(url));
    }
    constexpr std::string_view scheme = "file://";
    if (url.substr(0, scheme.size()) != scheme) {
        return std::nullopt;
    }
    std::string_view rest = url.substr(scheme.size());
    if (rest.substr(0, 9) == "localhost") {
        rest.remove_prefix(9);
    }
    if (rest.empty() || rest.front() != '/') {
        return std::nullopt;
    }
    const auto decoded = percentDecode(rest);
    if (!decoded || decoded->find('\0') != std::string::npos) {
        return std::nullopt;
    }
    return std::filesystem::path(*decoded);
}

} // namespace brisklet
