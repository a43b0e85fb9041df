#pragma once

#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Json.h"
#include "ZelvorCore/Foundation/Uuid.h"

#include <optional>
#include <string>

namespace brisklet {

/// One recognised word. Bounds are in pixels of the recognition image with the origin at the
/// bottom-left and y growing upwards, like its line's.
struct RecognizedTextItem {
    Uuid id = Uuid::generate();
    Uuid lineID;
    /// The owning line's reading-order index; kept equal to it whenever lines are re-indexed.
    int lineIndex = 0;
    /// 0-based position of the word within its line.
    int order = 0;
    std::string text;
    Rect bounds;
    /// The line's confidence (0...1); every word of a line carries the same value.
    float confidence = 0;
    /// BCP-47 identifier copied from the line.
    std::optional<std::string> recognizedLanguage;

    bool operator==(const RecognizedTextItem&) const = default;
};

void read(const Json& j, RecognizedTextItem& out);
Json write(const RecognizedTextItem& value);

} // namespace brisklet
