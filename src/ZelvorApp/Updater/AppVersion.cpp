#include "ZelvorApp/Updater/AppVersion.h"

#include "ZelvorApp/Updater/UpdaterText.h"

namespace brisklet {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

/// The digit run starting at `index`, without its leading zeros; moves `index` past it.
std::string_view digitRun(std::string_view text, std::size_t& index) {
    const std::size_t start = index;
    while (index < text.size() && isDigit(text[index])) {
        ++index;
    }
    std::string_view run = text.substr(start, index - start);
    while (run.size() > 1 && run.front() == '0') {
        run.remove_prefix(1);
    }
    return run;
}

int compareRuns(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    const int order = a.compare(b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

} // namespace

std::string AppVersion::normalized(std::string_view text) {
    std::string_view trimmed = trimmedView(text);
    if (!trimmed.empty() && (trimmed.front() == 'v' || trimmed.front() == 'V')) {
        trimmed.remove_prefix(1);
    }
    return std::string(trimmed);
}

int AppVersion::compare(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const int order = compareRuns(digitRun(a, i), digitRun(b, j));
            if (order != 0) {
                return order;
            }
            continue;
        }
        if (a[i] != b[j]) {
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]) ? -1 : 1;
        }
        ++i;
        ++j;
    }
    if (i < a.size()) {
        return 1;
    }
    return j < b.size() ? -1 : 0;
}

bool AppVersion::isSameOrNewer(std::string_view other) const {
    return compare(normalized(text), normalized(other)) >= 0;
}

} // namespace brisklet
