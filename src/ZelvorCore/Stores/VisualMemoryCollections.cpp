#include "ZelvorCore/Stores/VisualMemoryCollections.h"

#include "ZelvorCore/Models/VisualMemoryText.h"

#include <algorithm>
#include <unordered_map>

namespace brisklet {

std::vector<std::string> VisualMemoryCollections::values(const std::vector<VisualMemoryItem>& items) {
    namespace text = memorytext;
    std::unordered_map<std::string, std::size_t> positionByFolded;
    std::vector<std::string> names;
    const auto add = [&](std::string folded, const std::string& display) {
        positionByFolded.emplace(std::move(folded), names.size());
        names.push_back(display);
    };
    for (const auto& item : items) {
        for (const auto& tag : item.visibleTags()) {
            std::string folded = text::lowercased(tag);
            if (positionByFolded.find(folded) == positionByFolded.end()) {
                add(std::move(folded), tag);
            }
        }
        const std::string app = item.sourceApp ? text::trimmed(*item.sourceApp) : std::string();
        if (app.empty()) {
            continue;
        }
        std::string folded = text::lowercased(app);
        const auto found = positionByFolded.find(folded);
        if (found == positionByFolded.end()) {
            add(std::move(folded), app);
        } else if (names[found->second] == found->first) {
            names[found->second] = app;
        }
    }
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return text::lessIgnoringCase(a, b); });
    return names;
}

} // namespace brisklet
