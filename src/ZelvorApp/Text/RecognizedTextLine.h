#pragma once

#include "ZelvorApp/Text/RecognizedTextItem.h"

#include <vector>

namespace brisklet {

/// One recognised line with its words, in pixels of the recognition image (origin bottom-left,
/// y up: the recogniser's normalised box times the image size, not flipped).
struct RecognizedTextLine {
    Uuid id = Uuid::generate();
    /// Position in the final reading order, rewritten whenever lines are cleaned.
    int index = 0;
    /// The recogniser's best reading, trimmed.
    std::string text;
    Rect bounds;
    std::vector<RecognizedTextItem> words;
    /// 0...1
    float confidence = 0;
    /// BCP-47 identifier of the line's dominant language, when one was detected.
    std::optional<std::string> recognizedLanguage;

    bool operator==(const RecognizedTextLine&) const = default;
};

void read(const Json& j, RecognizedTextLine& out);
Json write(const RecognizedTextLine& value);

/// Every word of every line, lines in order.
std::vector<RecognizedTextItem> allWords(const std::vector<RecognizedTextLine>& lines);

} // namespace brisklet
