#pragma once

#include <string>
#include <string_view>

namespace brisklet {

/// `text` without the white space around it.
std::string_view trimmedView(std::string_view text);
inline std::string trimmed(std::string_view text) {
    return std::string(trimmedView(text));
}

/// At most the last `maxLines` non-empty lines of a tool's output, trimmed, joined by " / ", so
/// a status line can say why a command failed without showing its whole log.
std::string outputTail(std::string_view output, std::size_t maxLines = 3);

} // namespace brisklet
