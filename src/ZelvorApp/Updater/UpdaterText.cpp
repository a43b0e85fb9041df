#include "ZelvorApp/Updater/UpdaterText.h"

#include <algorithm>
#include <vector>

namespace brisklet {

std::string_view trimmedView(std::string_view text) {
    constexpr std::string_view whiteSpace = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(whiteSpace);
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(whiteSpace);
    return text.substr(first, last - first + 1);
}

std::string outputTail(std::string_view output, std::size_t maxLines) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start <= output.size()) {
        const std::size_t end = std::min(output.find('\n', start), output.size());
        const std::string_view line = trimmedView(output.substr(start, end - start));
        if (!line.empty()) {
            lines.push_back(line);
        }
        start = end + 1;
    }
    const std::size_t first = lines.size() > maxLines ? lines.size() - maxLines : 0;
    std::string tail;
    for (std::size_t k = first; k < lines.size(); ++k) {
        if (!tail.empty()) {
            tail += " / ";
        }
        tail += lines[k];
    }
    return tail;
}

} // namespace brisklet
