#include "ZelvorApp/Library/VisualMemoryTagEditor.h"

#include "ZelvorCore/Models/VisualMemoryText.h"

namespace brisklet {

using memorytext::lowercased;
using memorytext::trimmed;

bool VisualMemoryTagEditor::isManualTag(const VisualMemoryItem& item, std::string_view tag) {
    const std::string wanted = lowercased(tag);
    for (const std::string& manual : item.manualTags) {
        if (lowercased(manual) == wanted) {
            return true;
        }
    }
    return false;
}

std::vector<VisualMemoryTagEditor::Tag> VisualMemoryTagEditor::tags(const VisualMemoryItem& item) {
    std::vector<Tag> result;
    // An automatic tag the user also typed is shown once; removing it must forget the manual one
    // (hiding the automatic one as well would surprise), so it counts as manual.
    for (const std::string& tag : item.visibleTags()) {
        result.push_back({tag, isManualTag(item, tag)});
    }
    return result;
}

std::vector<std::string> VisualMemoryTagEditor::tagsToAdd(const VisualMemoryItem& item, std::string_view typed) {
    std::vector<std::string> shown = item.visibleTags();
    std::vector<std::string> added;
    std::size_t start = 0;
    while (start <= typed.size()) {
        const std::size_t comma = typed.find(',', start);
        const std::string_view piece =
            typed.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        const std::string tag = normalizedTag(piece);
        bool known = tag.empty();
        for (const std::string& existing : shown) {
            known = known || lowercased(existing) == tag;
        }
        if (!known) {
            added.push_back(tag);
            shown.push_back(tag);
        }
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    return added;
}

} // namespace brisklet
