#include "ZelvorApp/Text/RecognizedTextSelection.h"

#include <algorithm>
#include <optional>

namespace brisklet {

namespace {

std::optional<std::size_t> positionOf(const Uuid& id, const std::vector<RecognizedTextItem>& words) {
    const auto it = std::find_if(words.begin(), words.end(), [&](const RecognizedTextItem& w) { return w.id == id; });
    if (it == words.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(it - words.begin());
}

} // namespace

WordIDSet RecognizedTextSelection::lineWordIDs(const RecognizedTextLine& line) {
    WordIDSet ids;
    for (const auto& word : line.words) {
        ids.insert(word.id);
    }
    return ids;
}

WordIDSet RecognizedTextSelection::rangeWordIDs(const Uuid& anchor, const Uuid& current,
                                                const std::vector<RecognizedTextItem>& words) {
    const auto anchorPosition = positionOf(anchor, words);
    const auto currentPosition = positionOf(current, words);
    if (!anchorPosition || !currentPosition) {
        return {};
    }
    const auto [first, last] = std::minmax(*anchorPosition, *currentPosition);
    WordIDSet ids;
    for (std::size_t i = first; i <= last; ++i) {
        ids.insert(words[i].id);
    }
    return ids;
}

std::string RecognizedTextSelection::joinedText(const std::vector<RecognizedTextLine>& lines,
                                                const WordIDSet& selectedWordIDs) {
    std::string joined;
    bool firstLine = true;
    for (const auto& line : lines) {
        std::string lineText;
        bool firstWord = true;
        for (const auto& word : line.words) {
            if (!selectedWordIDs.contains(word.id)) {
                continue;
            }
            if (!firstWord) {
                lineText += ' ';
            }
            lineText += word.text;
            firstWord = false;
        }
        if (firstWord) {
            continue;
        }
        if (!firstLine) {
            joined += '\n';
        }
        joined += lineText;
        firstLine = false;
    }
    return joined;
}

} // namespace brisklet
