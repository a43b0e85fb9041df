#pragma once

#include "ZelvorApp/Text/RecognizedTextLine.h"

#include <set>
#include <string>
#include <vector>

namespace brisklet {

struct UuidLess {
    bool operator()(const Uuid& a, const Uuid& b) const { return a.bytes() < b.bytes(); }
};

using WordIDSet = std::set<Uuid, UuidLess>;

/// Which recognised words the user has selected in the editor.
struct TextSelectionState {
    WordIDSet selectedWordIDs;
    bool operator==(const TextSelectionState&) const = default;
};

/// The word-selection arithmetic of the editor's text mode. Never fails: unknown ids simply
/// select nothing.
class RecognizedTextSelection {
public:
    RecognizedTextSelection() = delete;

    /// Every word of the line (a double click selects the whole line).
    static WordIDSet lineWordIDs(const RecognizedTextLine& line);
    /// The words from the anchor to the current word inclusive, in whichever direction the drag
    /// went; `words` is the flat list of all words in reading order.
    static WordIDSet rangeWordIDs(const Uuid& anchor, const Uuid& current,
                                  const std::vector<RecognizedTextItem>& words);
    /// Selected words joined by one space within a line and by "\n" between lines; lines with no
    /// selected word are left out.
    static std::string joinedText(const std::vector<RecognizedTextLine>& lines, const WordIDSet& selectedWordIDs);
};

} // namespace brisklet
