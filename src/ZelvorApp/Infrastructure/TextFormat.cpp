#include "ZelvorApp/Infrastructure/TextFormat.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace brisklet {

namespace {

struct Directive {
    int position = 0; // 1-based when positional
    bool leftAlign = false;
    bool zeroPad = false;
    int width = 0;
    int precision = -1;
    char conversion = 0;
};

bool parseDirective(std::string_view f, std::size_t& i, Directive& directive) {
    // f[i] is just after '%'
    std::size_t j = i;
    int number = 0;
    bool digits = false;
    while (j < f.size() && std::isdigit(static_cast<unsigned char>(f[j]))) {
        number = number * 10 + (f[j] - '0');
        digits = true;
        ++j;
    }
    if (digits && j < f.size() && f[j] == '$') {
        directive.position = number;
        i = j + 1;
    }
    while (i < f.size() && (f[i] == '-' || f[i] == '0' || f[i] == '+' || f[i] == ' ' || f[i] == '#')) {
        directive.leftAlign |= f[i] == '-';
        directive.zeroPad |= f[i] == '0';
        ++i;
    }
    while (i < f.size() && std::isdigit(static_cast<unsigned char>(f[i]))) {
        directive.width = std::min(directive.width * 10 + (f[i] - '0'), 1000);
        ++i;
    }
    if (i < f.size() && f[i] == '.') {
        ++i;
        directive.precision = 0;
        while (i < f.size() && std::isdigit(static_cast<unsigned char>(f[i]))) {
            directive.precision = std::min(directive.precision * 10 + (f[i] - '0'), 60);
            ++i;
        }
    }
    while (i < f.size() && (f[i] == 'l' || f[i] == 'h' || f[i] == 'z' || f[i] == 'q' || f[i] == 'j' || f[i] == 't')) {
        ++i;
    }
    if (i >= f.size()) {
        return false;
    }
    directive.conversion = f[i++];
    return std::string_view("sdiuxXfFgGeEc@").find(directive.conversion) != std::string_view::npos;
}

std::string asText(const FormatArgument& argument) {
    if (const auto* s = std::get_if<std::string>(&argument.value)) {
        return *s;
    }
    if (const auto* i = std::get_if<std::int64_t>(&argument.value)) {
        return std::to_string(*i);
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", std::get<double>(argument.value));
    return buffer;
}

std::string render(const Directive& directive, const FormatArgument& argument) {
    char buffer[128];
    switch (directive.conversion) {
    case 'd':
    case 'i':
    case 'u':
    case 'x':
    case 'X':
    case 'c': {
        std::int64_t value = 0;
        if (const auto* i = std::get_if<std::int64_t>(&argument.value)) {
            value = *i;
        } else if (const auto* d = std::get_if<double>(&argument.value)) {
            value = std::isfinite(*d) ? static_cast<std::int64_t>(*d) : 0;
        } else {
            return asText(argument);
        }
        if (directive.conversion == 'c') {
            return std::string(1, static_cast<char>(value));
        }
        const char* pattern = directive.conversion == 'x' ? "%llx" : directive.conversion == 'X' ? "%llX" : "%lld";
        std::snprintf(buffer, sizeof buffer, pattern, static_cast<long long>(value));
        return buffer;
    }
    case 'f':
    case 'F':
    case 'g':
    case 'G':
    case 'e':
    case 'E': {
        double value = 0;
        if (const auto* d = std::get_if<double>(&argument.value)) {
            value = *d;
        } else if (const auto* i = std::get_if<std::int64_t>(&argument.value)) {
            value = static_cast<double>(*i);
        } else {
            return asText(argument);
        }
        const char pattern[] = {'%', '.', '*', directive.conversion, '\0'};
        std::snprintf(buffer, sizeof buffer, pattern, directive.precision < 0 ? 6 : directive.precision, value);
        return buffer;
    }
    default: {
        std::string text = asText(argument);
        if (directive.precision >= 0 && text.size() > static_cast<std::size_t>(directive.precision)) {
            text.resize(static_cast<std::size_t>(directive.precision));
        }
        return text;
    }
    }
}

std::string padded(std::string text, const Directive& directive) {
    // Width counts code points, so "%5s" lines up texts with non-ASCII letters too.
    std::size_t length = 0;
    for (const unsigned char c : text) {
        length += (c & 0xC0) != 0x80 ? 1 : 0;
    }
    if (length >= static_cast<std::size_t>(directive.width)) {
        return text;
    }
    const std::size_t fill = static_cast<std::size_t>(directive.width) - length;
    if (directive.leftAlign) {
        return text + std::string(fill, ' ');
    }
    const bool numeric = std::string_view("diuxXfFgGeE").find(directive.conversion) != std::string_view::npos;
    const char pad = directive.zeroPad && numeric ? '0' : ' ';
    if (pad == '0' && !text.empty() && text[0] == '-') {
        return "-" + std::string(fill, '0') + text.substr(1);
    }
    return std::string(fill, pad) + text;
}

char normalised(char conversion) {
    switch (conversion) {
    case '@':
        return 's';
    case 'i':
    case 'u':
        return 'd';
    case 'F':
    case 'g':
    case 'G':
    case 'e':
    case 'E':
        return 'f';
    default:
        return conversion;
    }
}

} // namespace

std::string formatText(std::string_view format, const std::vector<FormatArgument>& arguments) {
    std::string out;
    out.reserve(format.size() + 16);
    std::size_t nextArgument = 0;
    for (std::size_t i = 0; i < format.size();) {
        if (format[i] != '%') {
            out.push_back(format[i++]);
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out.push_back('%');
            i += 2;
            continue;
        }
        std::size_t cursor = i + 1;
        Directive directive;
        if (!parseDirective(format, cursor, directive)) {
            out.append(format.substr(i, cursor - i)); // not a conversion: keep the text as written
            i = cursor;
            continue;
        }
        const std::size_t index =
            directive.position > 0 ? static_cast<std::size_t>(directive.position - 1) : nextArgument++;
        if (index < arguments.size()) {
            out += padded(render(directive, arguments[index]), directive);
        }
        i = cursor;
    }
    return out;
}

std::vector<std::string> formatConversions(std::string_view format) {
    // Ordered by the argument each conversion consumes, so "%2$s … %1$d" matches "%d … %s".
    std::vector<std::pair<std::size_t, std::string>> found;
    std::size_t nextArgument = 0;
    for (std::size_t i = 0; i < format.size();) {
        if (format[i] != '%') {
            ++i;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            i += 2;
            continue;
        }
        std::size_t cursor = i + 1;
        Directive directive;
        if (parseDirective(format, cursor, directive)) {
            const std::size_t index =
                directive.position > 0 ? static_cast<std::size_t>(directive.position - 1) : nextArgument++;
            found.emplace_back(index, std::string(1, normalised(directive.conversion)));
        }
        i = cursor;
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> conversions;
    for (auto& entry : found) {
        conversions.push_back(std::move(entry.second));
    }
    return conversions;
}

} // namespace brisklet
