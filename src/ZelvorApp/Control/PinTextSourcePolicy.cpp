#include "ZelvorApp/Control/PinTextSourcePolicy.h"

namespace brisklet {

namespace {

bool isTrimmed(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

std::string PinTextSourcePolicy::normalized(std::string_view text) {
    std::string lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            lines += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            lines += text[i];
        }
    }
    std::size_t begin = 0;
    std::size_t end = lines.size();
    while (begin < end && isTrimmed(lines[begin])) {
        ++begin;
    }
    while (end > begin && isTrimmed(lines[end - 1])) {
        --end;
    }
    return lines.substr(begin, end - begin);
}

std::optional<PinTextSourcePolicy::Choice> PinTextSourcePolicy::textToPin(const std::optional<std::string>& selected,
                                                                          const std::optional<std::string>& clipboard) {
    if (selected) {
        if (std::string text = normalized(*selected); !text.empty()) {
            return Choice{std::move(text), Source::selection};
        }
    }
    if (clipboard) {
        if (std::string text = normalized(*clipboard); !text.empty()) {
            return Choice{std::move(text), Source::pasteboard};
        }
    }
    return std::nullopt;
}

} // namespace brisklet
