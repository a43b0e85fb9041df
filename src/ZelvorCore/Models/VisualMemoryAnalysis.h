#pragma once

#include "ZelvorCore/Foundation/Json.h"

#include <optional>
#include <string>
#include <vector>

namespace brisklet {

/// What the analyser learned about one library file.
struct VisualMemoryAnalysis {
    std::string summary;
    std::vector<std::string> tags;
    /// The recognised text as Markdown; empty for files without text.
    std::string ocrText;
    /// Absolute path of the JPEG thumbnail, when one was written.
    std::optional<std::string> thumbnailPath;

    bool operator==(const VisualMemoryAnalysis&) const = default;
};

void read(const Json& j, VisualMemoryAnalysis& out);
Json write(const VisualMemoryAnalysis& value);

} // namespace brisklet
